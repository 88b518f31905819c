// The learner aids in the browser edition: their controls beside the canvas
// (reachable with Tab) and their function keys on the canvas, as a learner
// uses them. Served and checked as in browser.test.mjs.
//
//   node --test tests/web/

import assert from 'node:assert/strict';
import { describe, test } from 'node:test';

import {
  click, kButton, kWait, launchIn, messageClosed, messageShown, openPage, servedSite, typeProgram,
  waitForPixel,
} from './driver.mjs';

const site = servedSite('aids');

// The listing's rows are 10 pixels from y 200; the highlight is light green.
const kGreen = 0x7fff7f;
const rowPoint = (row) => [300, 205 + 10 * row];
// The help box (five lines) has its frame's left edge at x 219 from y 315.
const kHelpFrame = [219, 320];
const control = (page, key) => page.click(`#aids [data-key="${key}"]`);

// Red pixels in a row's line number: the breakpoint mark.
function markedRow(page, row, marked) {
  return page.waitForFunction(([y, want]) => {
    const data = document.getElementById('screen').getContext('2d')
        .getImageData(2, y, 48, 10).data;
    let red = false;
    for (let i = 0; i < data.length; i += 4) {
      if (data[i] === 255 && data[i + 1] === 0 && data[i + 2] === 0) red = true;
    }
    return red === want;
  }, kWait, [200 + 10 * row, marked]);
}

// A part of the canvas as text, to wait for it to change or come back.
function area(page, [x, y, width, height]) {
  return page.evaluate(([ax, ay, aw, ah]) => Array.from(document.getElementById('screen')
      .getContext('2d').getImageData(ax, ay, aw, ah).data).join(), [x, y, width, height]);
}
function areaIs(page, [x, y, width, height], picture, same) {
  return page.waitForFunction(([ax, ay, aw, ah, want, equal]) => {
    const now = Array.from(document.getElementById('screen').getContext('2d')
        .getImageData(ax, ay, aw, ah).data).join();
    return (now === want) === equal;
  }, kWait, [x, y, width, height, picture, same]);
}
// The Starten/Stoppen button, and the register panel's four rows.
const kRunButton = [130, 150, 80, 25];
const kRegisters = [30, 30, 240, 70];

describe('the learner aids in the browser', () => {
  test('each control and each key does its aid', async () => {
    const browser = await launchIn(site, 'profile-aids');
    try {
      const page = await openPage(browser, site.origin, site.foreign);
      await click(page, [200, 500]);
      await typeProgram(page, ['LOADI 0', 'loop:', 'ADDI 1', 'CMPI 300', 'JMPNZ loop', 'HOLD']);
      for (let i = 0; i < 3; ++i) await page.keyboard.press('ArrowUp');

      // A breakpoint on "ADDI 1" (row 2) by its control; a fast run by its
      // key stops before it.
      await control(page, 'F9');
      await markedRow(page, 2, true);
      await click(page, kButton.assemble);
      await page.keyboard.press('F8');
      await waitForPixel(page, rowPoint(2), kGreen);

      // Once more round the loop to the breakpoint, then one step back by
      // key (to CMPI's row) and one by control (to ADDI's row).
      const registers = await area(page, kRegisters);
      await page.keyboard.press('F8');
      await areaIs(page, kRegisters, registers, false);
      await page.keyboard.press('F2');
      await waitForPixel(page, rowPoint(3), kGreen);
      await control(page, 'F2');
      await waitForPixel(page, rowPoint(2), kGreen);

      // The help box by key and by control; Enter closes it.
      for (const open of [() => page.keyboard.press('F1'), () => control(page, 'F1')]) {
        await open();
        await waitForPixel(page, kHelpFrame, 0x000000);
        await page.keyboard.press('Enter');
        await waitForPixel(page, kHelpFrame, 0xffffff);
      }

      // The breakpoint cleared by key; the fast run by control runs to HOLD.
      await page.keyboard.press('F9');
      await markedRow(page, 2, false);
      await control(page, 'F8');
      await messageShown(page);
      await page.keyboard.press('Enter');
      await messageClosed(page);
      assert.deepEqual(page.errors, []);
    } finally {
      await browser.close();
    }
  });

  test('Stoppen and Escape end a fast run of an endless loop', async () => {
    const browser = await launchIn(site, 'profile-stop');
    try {
      const page = await openPage(browser, site.origin, site.foreign);
      await click(page, [200, 500]);
      await typeProgram(page, ['loop:', 'ADDI 1', 'JMP loop']);
      await click(page, kButton.assemble);
      const starten = await area(page, kRunButton);
      for (const stop of [() => click(page, kButton.run), () => page.keyboard.press('Escape')]) {
        await page.keyboard.press('F8');
        await areaIs(page, kRunButton, starten, false);
        await stop();
        await areaIs(page, kRunButton, starten, true);
      }
      assert.deepEqual(page.errors, []);
    } finally {
      await browser.close();
    }
  });

  test('the controls are reached with Tab', async () => {
    const browser = await launchIn(site, 'profile-tab');
    try {
      const page = await openPage(browser, site.origin, site.foreign);
      // The canvas keeps Tab for the editor: start from a control before.
      await page.focus('#download');
      const reached = new Set();
      for (let i = 0; i < 12; ++i) {
        await page.keyboard.press('Tab');
        const key = await page.evaluate(() => document.activeElement.dataset.key || '');
        if (key) reached.add(key);
      }
      assert.deepEqual([...reached].sort(), ['F1', 'F2', 'F8', 'F9']);
    } finally {
      await browser.close();
    }
  });
});
