// The page open in two tabs of one browser: they share the browser's
// storage, so each sees what the other saved without a reload, and a save
// never silently replaces a file the other tab saved after this one last
// looked at it.
//
//   node --test tests/web/        (AKKUSIM_WEB_SITE names another build)

import assert from 'node:assert/strict';
import { mkdtemp } from 'node:fs/promises';
import { join } from 'node:path';
import { describe, test } from 'node:test';

import {
  chooserClosed, chooserOpened, click, download, kButton, kFirstChooserEntry, launchIn, openPage,
  questionClosed, questionShown, servedSite, type, typeName, typeProgram, unsavedIs,
} from './driver.mjs';

const site = servedSite('tabs');

describe('two tabs of the page', () => {
  test('the chooser shows the other tab\'s saves, and replacing one asks first', async () => {
    const browser = await launchIn(site, 'profile-tabs');
    try {
      const first = await openPage(browser, site.origin, site.foreign);
      const second = await openPage(browser, site.origin, site.foreign);
      // The name sorts first among the examples.
      const loadFirstEntry = async (page) => {
        await page.bringToFront();
        await click(page, kButton.load);
        await chooserOpened(page);
        await click(page, kFirstChooserEntry);
        await chooserClosed(page);
        return download(page, await mkdtemp(join(site.work, 'download-')));
      };
      const change = async (page, text) => {
        await page.bringToFront();
        await type(page, text);
        await unsavedIs(page, true);
      };
      // Saves under the name the chooser proposes; resolves once saved or
      // once the overwrite question is shown.
      const saveAgain = async (page, asks) => {
        await click(page, kButton.save);
        await chooserOpened(page);
        await page.keyboard.press('Enter');
        await chooserClosed(page);
        await (asks ? questionShown(page) : unsavedIs(page, false));
      };

      await first.bringToFront();
      await click(first, [200, 500]);
      await typeProgram(first, ['LOADI 1', 'HOLD']);
      await click(first, kButton.save);
      await chooserOpened(first);
      await typeName(first, 'a_beide');
      await first.keyboard.press('Enter');
      await chooserClosed(first);
      await unsavedIs(first, false);

      // No reload: the chooser reads the storage again when it opens.
      let file = await loadFirstEntry(second);
      assert.equal(file.name, 'a_beide.txt');
      assert.match(file.bytes.toString('latin1'), /^LOADI 1 *\r\nHOLD *\r\n$/);

      // The second tab saw the file last, so its save needs no question.
      await change(second, 'X');
      await saveAgain(second, false);

      // The first tab's copy is older: Nein (Escape) keeps the other save,
      // Ja replaces it.
      await change(first, 'Y');
      await saveAgain(first, true);
      await first.keyboard.press('Escape');
      await questionClosed(first);
      assert.equal(await first.evaluate(() => Module.akkusimHost.hasUnsavedChanges()), true);
      file = await loadFirstEntry(second);
      assert.match(file.bytes.toString('latin1'), /^XLOADI 1 *\r\nHOLD *\r\n$/);

      await first.bringToFront();
      await saveAgain(first, true);
      await first.keyboard.press('Enter');
      await unsavedIs(first, false);
      file = await loadFirstEntry(second);
      assert.match(file.bytes.toString('latin1'), /^LOADI 1 *\r\nHOLDY *\r\n$/);
      assert.deepEqual([...first.errors, ...second.errors], []);
    } finally {
      await browser.close();
    }
  });
});
