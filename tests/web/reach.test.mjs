// The page around the canvas for a keyboard user and on a small screen:
// leaving the canvas and coming back without a mouse, the focus ring, the
// names of the controls, and a status line that never covers the canvas.
//
//   node --test tests/web/        (AKKUSIM_WEB_SITE names another build)

import assert from 'node:assert/strict';
import { mkdtemp, writeFile } from 'node:fs/promises';
import { join } from 'node:path';
import { describe, test } from 'node:test';

import {
  afterLayout, chooserClosed, chooserOpened, click, focusedId, kButton, kWait, launchIn, openPage,
  servedSite,
} from './driver.mjs';

const site = servedSite('reach');

// Presses keys one after the other; "Shift+Tab" holds Shift for the Tab.
async function press(page, keys) {
  for (const key of keys) {
    const [held, pressed] = key.includes('+') ? key.split('+') : [null, key];
    if (held) await page.keyboard.down(held);
    await page.keyboard.press(pressed);
    if (held) await page.keyboard.up(held);
  }
}

// The canvas's box with its focus ring, the area it is fitted into, and the
// bottom of the controls above it.
function layout(page) {
  return page.evaluate(() => {
    const canvas = document.getElementById('screen');
    const style = getComputedStyle(canvas);
    const ring = style.outlineStyle === 'none' ?
        0 : parseFloat(style.outlineWidth) + parseFloat(style.outlineOffset);
    const box = canvas.getBoundingClientRect();
    const area = document.getElementById('area').getBoundingClientRect();
    const controls = document.getElementById('toolbar').getBoundingClientRect();
    return {
      ring,
      outline: style.outlineStyle,
      ringBox: {
        left: box.left - ring, top: box.top - ring, right: box.right + ring,
        bottom: box.bottom + ring,
      },
      area: { left: area.left, top: area.top, right: area.right, bottom: area.bottom },
      controlsBottom: controls.bottom,
    };
  });
}

function assertCanvasInArea(shown, what) {
  const { ringBox, area } = shown;
  assert.ok(ringBox.left >= area.left - 0.5 && ringBox.right <= area.right + 0.5 &&
                ringBox.top >= area.top - 0.5 && ringBox.bottom <= area.bottom + 0.5,
            `${what}: canvas ${JSON.stringify(ringBox)} outside ${JSON.stringify(area)}`);
  assert.ok(ringBox.top >= shown.controlsBottom, `${what}: the controls cover the canvas`);
}

// Whether the focus is on the last of the controls above the canvas, the
// one Shift+Tab reaches from it.
async function onLastControl(page) {
  await page.evaluate(() => {
    window.lastControl = () => [...document.querySelectorAll(
      '#toolbar button, #toolbar input, #toolbar a[href], #toolbar select')]
        .filter((element) => element.getClientRects().length > 0 && element.tabIndex >= 0).pop();
  });
  return page.evaluate(() => document.activeElement === lastControl());
}

describe('the page for a keyboard user', () => {
  test('Escape then Tab leaves the canvas, Tab comes back, Escape still closes the chooser',
       async () => {
    const browser = await launchIn(site, 'profile-keys');
    try {
      const page = await openPage(browser, site.origin, site.foreign);
      await click(page, [200, 500]);

      const focused = await layout(page);
      assert.equal(focused.outline, 'solid');
      assert.ok(focused.ring >= 3, `focus ring ${focused.ring} px`);
      assertCanvasInArea(focused, 'focused');

      // Back from the last control before the canvas; the ring goes with
      // the focus.
      await onLastControl(page);  // defines lastControl()
      await page.evaluate(() => lastControl().focus());
      assert.equal((await layout(page)).outline, 'none');
      await press(page, ['Tab']);
      assert.equal(await focusedId(page), 'screen');
      assert.equal((await layout(page)).outline, 'solid');

      // The window sees the Escape: it closes the chooser, and only the Tab
      // after it leaves.
      await click(page, kButton.load);
      await chooserOpened(page);
      await press(page, ['Escape']);
      await chooserClosed(page);
      assert.equal(await focusedId(page), 'screen');
      await press(page, ['Shift+Tab']);
      assert.ok(await onLastControl(page));

      // Last, as Tab past the canvas (the page's last control) goes on to
      // the browser's own controls: the window loses its focus and with it
      // the ring, and Firefox under WebDriver does not give it back.
      const cases = [
        { keys: ['Tab'], stays: true },
        { keys: ['Shift+Tab'], stays: true },
        { keys: ['Escape', 'Tab'], stays: false },
        { keys: ['Escape', 'Shift+Tab'], stays: false, backToControls: true },
        { keys: ['Escape', 'a', 'Tab'], stays: true },
        { keys: ['Escape', 'Control+Tab'], stays: true },
      ];
      for (const { keys, stays, backToControls } of cases) {
        await click(page, [200, 500]);
        await press(page, keys);
        const id = await focusedId(page);
        assert.equal(id === 'screen', stays, `${keys}: focus on "${id}"`);
        if (backToControls) assert.ok(await onLastControl(page), `${keys}`);
      }
      assert.deepEqual(page.errors, []);
    } finally {
      await browser.close();
    }
  });

  test('every control has a name a screen reader can say', async () => {
    const browser = await launchIn(site, 'profile-names');
    try {
      const page = await openPage(browser, site.origin, site.foreign);
      const unnamed = await page.evaluate(() => {
        const nameOf = (element) => {
          const by = element.getAttribute('aria-labelledby');
          if (by) {
            return by.split(/\s+/).map((id) => document.getElementById(id)?.textContent || '')
                .join(' ');
          }
          const label = element.getAttribute('aria-label');
          if (label) return label;
          const labels = element.labels ? [...element.labels].map((l) => l.textContent) : [];
          return labels.join(' ') || element.getAttribute('title') ||
              (['BUTTON', 'A'].includes(element.tagName) ? element.textContent : '');
        };
        const controls = document.querySelectorAll(
          'button, input, select, textarea, a[href], canvas, [tabindex], [role=button]');
        return [...controls].filter((element) => nameOf(element).trim() === '')
            .map((element) => element.outerHTML.slice(0, 80));
      });
      assert.deepEqual(unnamed, []);
      const hint = await page.evaluate(() => document.getElementById(
        document.getElementById('screen').getAttribute('aria-describedby')).textContent);
      assert.match(hint, /Esc und dann Tab/);
    } finally {
      await browser.close();
    }
  });
});

describe('the status line', () => {
  test('a long message wraps or is cut, and the canvas is fitted below it', async () => {
    const browser = await launchIn(site, 'profile-status');
    try {
      const page = await openPage(browser, site.origin, site.foreign);
      // Short enough that the height limits the canvas.
      await page.setViewport({ width: 1200, height: 700 });
      await afterLayout(page);
      const message = () => page.evaluate(() => {
        const shown = document.getElementById('message');
        return {
          text: shown.textContent, title: shown.title, cut: shown.scrollHeight > shown.clientHeight,
          lines: Math.round(shown.clientHeight / parseFloat(getComputedStyle(shown).lineHeight)),
        };
      });
      const longName = join(await mkdtemp(join(site.work, 'upload-')), `${'x'.repeat(240)}.txt`);
      await writeFile(longName, 'HOLD\n');

      // A message of many lines, then one of one line: the canvas follows
      // the controls' height both ways, and fills the room it has.
      const steps = [
        { what: 'long', act: async () => (await page.$('#upload')).uploadFile(longName),
          expect: 'wurde nicht übernommen', cut: true },
        { what: 'short', act: () => page.click('#share'), expect: 'nichts zu teilen',
          cut: false },
      ];
      for (const { what, act, expect, cut } of steps) {
        await act();
        await page.waitForFunction(
          (want) => document.getElementById('message').textContent.includes(want), kWait, expect);
        await afterLayout(page);
        const shown = await message();
        assert.equal(shown.title, shown.text, `${what}: the tooltip holds the whole message`);
        assert.equal(shown.cut, cut, `${what}: cut`);
        assert.ok(shown.lines <= 2, `${what}: ${shown.lines} lines`);
        const placed = await layout(page);
        assertCanvasInArea(placed, what);
        const room = Math.min(placed.area.right - placed.area.left - 2 * 4,
                              (placed.area.bottom - placed.area.top - 2 * 4) * 1100 / 800);
        const width = placed.ringBox.right - placed.ringBox.left - 2 * placed.ring;
        assert.ok(Math.abs(width - room) < 1.5, `${what}: canvas ${width} px wide, room ${room}`);
      }
    } finally {
      await browser.close();
    }
  });
});
