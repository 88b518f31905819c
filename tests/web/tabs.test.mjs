// The page open in two tabs of one browser: they share the browser's
// storage, so each sees what the other saved without a reload, and a save
// never silently replaces a file the other tab saved after this one last
// looked at it.
//
//   node --test tests/web/        (AKKUSIM_WEB_SITE names another build)

import assert from 'node:assert/strict';
import { mkdtemp, rm } from 'node:fs/promises';
import { tmpdir } from 'node:os';
import { dirname, join } from 'node:path';
import { after, before, describe, test } from 'node:test';
import { fileURLToPath } from 'node:url';

import { serveFolder } from '../../scripts/serve.mjs';
import {
  chooserClosed, chooserOpened, click, download, kButton, kFirstChooserEntry, launch, openPage,
  questionClosed, questionShown, type, typeName, typeProgram, unsavedIs,
} from './driver.mjs';

const kRoot = join(dirname(fileURLToPath(import.meta.url)), '..', '..');
const kSite = process.env.AKKUSIM_WEB_SITE || join(kRoot, 'build-web');

let server;
let origin;
let work;
const foreignRequests = [];

before(async () => {
  server = await serveFolder(kSite);
  origin = `http://127.0.0.1:${server.address().port}`;
  work = await mkdtemp(join(tmpdir(), 'akkusim-tabs-'));
});

after(async () => {
  server.close();
  await rm(work, { recursive: true, force: true });
  assert.deepEqual(foreignRequests, [], 'requests to other hosts');
});

describe('two tabs of the page', () => {
  test('the chooser shows the other tab\'s saves, and replacing one asks first', async () => {
    const browser = await launch(join(work, 'profile-tabs'));
    try {
      const first = await openPage(browser, origin, foreignRequests);
      const second = await openPage(browser, origin, foreignRequests);
      // The name sorts first among the examples.
      const loadFirstEntry = async (page) => {
        await page.bringToFront();
        await click(page, kButton.load);
        await chooserOpened(page);
        await click(page, kFirstChooserEntry);
        await chooserClosed(page);
        return download(page, await mkdtemp(join(work, 'download-')));
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
