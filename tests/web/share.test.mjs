// Share by link in the browser edition: the program travels in the link's
// address (compressed after the "#"), opens in the listing as never saved,
// and a damaged or too long link, or a program too long for one, says so
// instead.
//
//   node --test tests/web/        (AKKUSIM_WEB_SITE names another build)

import assert from 'node:assert/strict';
import { describe, test } from 'node:test';
import { deflateRawSync } from 'node:zlib';

import {
  chooserClosed, chooserOpened, click, kButton, kFirstChooserEntry, kWait, launchIn, openPage,
  servedSite, typeProgram,
} from './driver.mjs';

const site = servedSite('share');

// The clipboard as a stand-in that keeps what is copied, or refuses as a
// browser may.
function fakeClipboard(page, refuses) {
  return page.evaluate((refusing) => {
    window.copied = [];
    Object.defineProperty(navigator, 'clipboard', {
      configurable: true,
      value: {
        writeText: async (text) => {
          if (refusing) throw new DOMException('refused', 'NotAllowedError');
          window.copied.push(text);
        },
      },
    });
  }, refuses);
}

function messageSays(page, text) {
  return page.waitForFunction(
    (want) => document.getElementById('message').textContent.includes(want), kWait, text);
}

function shownState(page) {
  return page.evaluate(() => ({
    text: Module.akkusimHost.sharedText(),
    unsaved: Module.akkusimHost.hasUnsavedChanges(),
    failed: document.getElementById('message').classList.contains('failed'),
    fragment: location.hash,
  }));
}

describe('share by link', () => {
  const program = ['# Zähler: 3 Runden', 'LOADI 3', 'loop:', 'SUBI 1', 'JMPNZ loop', 'HOLD'];

  test('the link opens the program in the listing, unsaved, and says where it came from',
       async () => {
    const browser = await launchIn(site, 'profile-link');
    try {
      const page = await openPage(browser, site.origin, site.foreign);
      await click(page, [200, 500]);
      await typeProgram(page, program);

      // Copied where the browser allows it, shown in a field where not.
      const links = [];
      for (const refuses of [false, true]) {
        await fakeClipboard(page, refuses);
        await page.click('#share');
        await messageSays(page, refuses ? 'Strg+C' : 'Link kopiert');
        const shown = await page.evaluate(() => {
          const field = document.getElementById('sharelink');
          return { copied: window.copied, field: field.hidden ? null : field.value,
                   focused: document.activeElement.id };
        });
        if (refuses) {
          assert.deepEqual(shown.copied, []);
          assert.equal(shown.focused, 'sharelink');
          links.push(shown.field);
        } else {
          assert.equal(shown.field, null);
          links.push(shown.copied[0]);
        }
      }
      assert.equal(links[0], links[1]);
      const [link] = links;
      assert.ok(link.startsWith(`${site.origin}/#p=`), link);
      assert.ok(!link.includes('LOADI'), 'the program is packed');

      const sent = (await shownState(page)).text;
      assert.equal(sent, `${program.join('\n')}\n`);
      const opened =
          await openPage(browser, site.origin, site.foreign, link.slice(site.origin.length));
      await messageSays(opened, 'geteilten Link');
      assert.deepEqual(await shownState(opened),
                       { text: sent, unsaved: true, failed: false, fragment: '' });
      assert.deepEqual([...page.errors, ...opened.errors], []);
    } finally {
      await browser.close();
    }
  });

  test('a program too long for a link says so and copies nothing', async () => {
    // Setup: comments of scattered characters, which hardly pack, loaded
    // from a file; as a link they would be about 50000 characters long.
    const kLetters = 'ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+-';
    let seed = 1;
    const letter = () => {
      seed = (Math.imul(seed, 1103515245) + 12345) >>> 0;
      return kLetters[seed >>> 26];
    };
    const lines =
        Array.from({ length: 1200 }, () => `#${Array.from({ length: 39 }, letter).join('')}`);
    const browser = await launchIn(site, 'profile-long');
    try {
      const page = await openPage(browser, site.origin, site.foreign);
      const stored = await page.evaluate((text) => Module.akkusimHost.upload(
          'a_lang.txt', new TextEncoder().encode(text), false), `${lines.join('\r\n')}\r\n`);
      assert.equal(stored, 0);
      await click(page, kButton.load);
      await chooserOpened(page);
      await click(page, kFirstChooserEntry);
      await chooserClosed(page);
      assert.equal((await shownState(page)).text, `${lines.join('\n')}\n`);

      // Run
      await fakeClipboard(page, false);
      await page.click('#share');
      await messageSays(page, 'zu lang für einen Link');

      // Verify
      const shown = await page.evaluate(() => ({
        copied: window.copied,
        field: document.getElementById('sharelink').hidden,
        failed: document.getElementById('message').classList.contains('failed'),
      }));
      assert.deepEqual(shown, { copied: [], field: true, failed: true });
      assert.deepEqual(page.errors, []);
    } finally {
      await browser.close();
    }
  });

  test('a damaged or too long link says why and leaves the listing empty', async () => {
    const packed = (text) => deflateRawSync(Buffer.from(text)).toString('base64url');
    const good = packed(`${program.join('\n')}\n`);
    const cases = [
      { what: 'cut short', fragment: good.slice(0, good.length / 2), says: 'beschädigt' },
      { what: 'not base64url', fragment: `${good.slice(0, 8)}!${good.slice(9)}`,
        says: 'beschädigt' },
      { what: 'not packed', fragment: Buffer.from('HOLD').toString('base64url'),
        says: 'beschädigt' },
      { what: 'not UTF-8', fragment: packed(Buffer.from([0x48, 0x84, 0x0a])),
        says: 'beschädigt' },
      { what: 'longer than a link may be', fragment: 'A'.repeat(32769), says: 'zu lang' },
      { what: 'more lines than the listing holds', fragment: packed('NOOP\n'.repeat(65536)),
        says: 'höchstens 65535 Zeilen' },
      { what: 'more text than the listing holds', fragment: packed('x'.repeat(65535 * 81 + 1)),
        says: 'mehr, als die Programmliste fassen kann' },
    ];
    const browser = await launchIn(site, 'profile-damaged');
    try {
      for (const { what, fragment, says } of cases) {
        const page = await openPage(browser, site.origin, site.foreign, `/#p=${fragment}`);
        await messageSays(page, says);
        assert.deepEqual(await shownState(page),
                         { text: '', unsaved: false, failed: true, fragment: '' }, what);
        assert.deepEqual(page.errors, [], what);
        await page.close();
      }
    } finally {
      await browser.close();
    }
  });
});
