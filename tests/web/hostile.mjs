// The page against a host that floods it, through a stand-in host on loopback: guesses at the
// relay budget's full rate, then what no sound host sends (an over-long chat line, a stroke of
// millions of points, thousands of spies, chat colour codes and category cues). At the budget's
// rate no main-thread task takes over 50 ms; under the rest the page keeps answering (no task
// near a freeze), its lists stay bounded, and it fetches no sound the program lacks.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import * as s from './support.mjs';

// The relay budget: 240 short messages a second from one seat.
const RATE = 240;

test('a flooding host neither freezes the page nor grows its lists', { timeout: 120000 }, async () => {
  const host = await s.standIn();
  const chromium = await s.browser();
  const ctx = await chromium.newContext({ viewport: { width: 1280, height: 800 } });
  const page = await ctx.newPage();
  const errors = [];
  page.on('pageerror', (e) => errors.push(e.message));
  const sounds = [];
  page.on('request', (r) => { if (r.url().includes('/sounds/')) sounds.push(r.url()); });
  await page.goto(`${host.url}?name=Bob`);
  await page.click('#joinbutton');
  await host.connected();
  for (const m of ['CMD_sendlogininfo+2', 'CMD_existingplayers+1+Ann', 'CMD_newplayerinfo+2+Bob', 'CMD_newplayerinfo+3+Cat',
    'CMD_startgame+1+false+20+120', 'CMD_pickcatagory+1', 'CMD_nextplayer+1+0+___ ____ ']) host.send(m);
  await page.waitForFunction(() => window.quillet.game.drawer === 1);
  await page.evaluate(() => {
    window.longtasks = [];
    new PerformanceObserver((l) => { for (const e of l.getEntries()) window.longtasks.push(e.duration); }).observe({ type: 'longtask' });
  });

  // Four seconds of guesses at the budget's rate, a tick at a time as a relay sends them.
  for (let tick = 0; tick < 40; tick++) {
    for (let i = 0; i < RATE / 10; i++) {
      const n = tick * (RATE / 10) + i;
      host.send(n % 2 ? `CMD_guessed+3+guess${n}` : `CMD_myguessed+2+mine${n}`);
    }
    await s.sleep(100);
  }
  await page.waitForFunction(() => window.quillet.queued() === 0);
  await page.evaluate(() => new Promise((r) => requestAnimationFrame(() => setTimeout(r, 100))));
  const flood = await page.evaluate(() => ({
    longest: Math.max(0, ...window.longtasks),
    guessed: document.querySelectorAll('#guessed li').length,
    mine: document.querySelectorAll('#myguessed li').length,
    last: document.querySelector('#myguessed li:last-child')?.textContent,
  }));
  assert.ok(flood.longest <= 50, `a task of ${flood.longest} ms during the guesses`);
  assert.ok(flood.guessed <= 200 && flood.mine <= 200, `lists of ${flood.guessed} and ${flood.mine} lines`);
  assert.equal(flood.last, 'Bob answered: MINE958');

  // What no sound host sends.
  await page.evaluate(() => { window.longtasks = []; });
  const stage = async (what, f) => {
    f();
    host.send(`CMD_chat+0+${what} done|clBlue`);
    await page.waitForFunction((w) => document.getElementById('chat').textContent.includes(w + ' done'), what, { timeout: 60000 });
    const longest = await page.evaluate(() => Math.max(0, ...window.longtasks.splice(0)));
    assert.ok(longest < 2000, `a task of ${longest} ms after ${what}`);
  };
  await stage('long', () => host.send(`CMD_chat+0+${'x'.repeat(20 << 20)}|clBlue`));
  await stage('stroke', () => host.send(`CMD_draw+1+clBlack+3+${'+1,1+500,300'.repeat(1 << 20)}+`));
  await stage('spies', () => { for (let n = 0; n < 20000; n++) host.send(`CMD_newplayerinfo+${11 + n}+Spy${n}`); });
  await stage('colours', () => { for (let n = 0; n < 20000; n++) host.send(`CMD_chat+${-n}+line ${n}|$00${(n * 2654435761 % 0xFFFFFF).toString(16).padStart(6, '0')}`); });
  await stage('cues', () => { for (let n = 0; n < 3000; n++) host.send(`CMD_nextplayer+1+${n}+___ ____ `); });
  await page.evaluate(() => new Promise((r) => requestAnimationFrame(() => setTimeout(r, 100))));
  const after = await page.evaluate(() => ({
    nodes: document.getElementsByTagName('*').length,
    spies: document.querySelectorAll('#spylist li').length,
    styles: document.getElementById('chat').style.length,
  }));
  assert.ok(after.nodes < 5000, `${after.nodes} elements`);
  assert.ok(after.spies <= 16, `${after.spies} spies listed`);
  assert.ok(after.styles <= 16, `${after.styles} chat styles`);
  assert.ok(sounds.every((u) => /\/sounds\/(CAT[0-6]|ENTERED|TURN)\.wav$/.test(u)), sounds.filter((u) => !/CAT[0-6]|ENTERED|TURN/.test(u)).join());
  assert.deepEqual(errors, []);
  await chromium.close();
  host.close();
});

test.after(() => setTimeout(() => process.exit(process.exitCode || 0), 100));
