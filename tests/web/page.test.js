// The page in Debian's chromium, driven as a person would: through
// 虚拟文曲星 byte for byte, through a stand-in for Web Serial joined over a
// WebSocket to a pseudo-terminal where `kestrel-cli simulate` (the native
// build) serves, cancelled, and without Web Serial.
import { test, before, after } from 'node:test';
import assert from 'node:assert/strict';
import { spawn } from 'node:child_process';
import { mkdtempSync, mkdirSync, openSync, readFileSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { ReadStream } from 'node:tty';
import { chromium } from 'playwright-core';
import { WebSocketServer } from 'ws';
import { serveSite } from '../../scripts/serve-web.mjs';

const SITE = process.env.KESTREL_SITE ?? 'build/web/site';
const CLI = process.env.KESTREL_NATIVE_CLI ?? 'build/asan/app/cli/kestrel-cli';
const SHOTS = process.env.KESTREL_SCREENSHOTS ?? 'build/web/screenshots';
const gbk = (text) => Buffer.from(new TextDecoder().decode(Buffer.from(text)), 'latin1');  // ASCII only
const utf8 = (text) => Buffer.from(text, 'utf8');
const GBK_WQX = Buffer.from([0xce, 0xc4, 0xc7, 0xfa, 0xd0, 0xc7]);  // 文曲星 in GBK

let browser;
let site;
let simulator;
const handheldRoot = mkdtempSync(join(tmpdir(), 'kestrel-web-'));

// The far end of a port the page is given: relayed to the simulator's
// pseudo-terminal once the page opens its end.
function standIn(mode) {
  if (mode === 'none') {
    Object.defineProperty(Navigator.prototype, 'serial', { value: undefined, configurable: true });
    return;
  }
  const given = [];
  const listeners = [];
  // The cable pulled out: the line ends, and the browser says so.
  const unplug = () => {
    given[0].hangUp();
    for (const listener of listeners) listener({ target: given[0] });
  };
  window.standIn = { given, unplug };
  const serial = {
    async requestPort() {
      const { makeLinePair } = await import('/virtual_line.js');
      const [near, far] = makeLinePair();
      given.push(near);
      if (mode === 'bridge') {
        near.onOpen = async () => {
          const socket = new WebSocket(`ws://${location.host}/bridge`);
          socket.binaryType = 'arraybuffer';
          await far.open();
          const writer = far.writable.getWriter();
          socket.onmessage = (event) => writer.write(new Uint8Array(event.data)).catch(() => {});
          const reader = far.readable.getReader();
          for (let got = await reader.read(); !got.done; got = await reader.read()) {
            if (socket.readyState === 0) await new Promise((open) => { socket.onopen = open; });
            socket.send(got.value);
          }
          socket.close();
          reader.releaseLock();
          writer.releaseLock();
          await far.close();
        };
      }
      return near;
    },
    async getPorts() { return mode === 'silent' ? [await this.requestPort()] : []; },
    addEventListener(type, listener) { if (type === 'disconnect') listeners.push(listener); },
  };
  Object.defineProperty(Navigator.prototype, 'serial', { value: serial, configurable: true });
}

before(async () => {
  mkdirSync(SHOTS, { recursive: true });
  site = await serveSite(SITE);
  simulator = spawn(CLI, ['simulate', '--root', handheldRoot], { stdio: ['ignore', 'pipe', 'inherit'] });
  const pty = await new Promise((found) => simulator.stdout.once('data', (d) => found(String(d).trim())));
  new WebSocketServer({ server: site.server, path: '/bridge' }).on('connection', (socket) => {
    const fd = openSync(pty, 'r+');
    const input = new ReadStream(fd);
    input.on('data', (data) => socket.send(data));
    socket.on('message', (data) => writeFileSync(fd, data));
    socket.on('close', () => input.destroy());
  });
  browser = await chromium.launch({ executablePath: '/usr/bin/chromium', args: ['--headless=new', '--no-sandbox'] });
});

after(async () => {
  await browser?.close();
  simulator?.kill();
  site?.server.close();
});

async function openPage(serial = 'virtual') {
  const page = await browser.newPage({ acceptDownloads: true });
  page.on('pageerror', (error) => assert.fail(error.message));
  await page.addInitScript(standIn, serial);
  await page.goto(site.url);
  await page.getByRole('button', { name: '下载' }).waitFor();
  await page.waitForFunction(() => !document.getElementById('download').disabled);
  // Every status text and title shown, in order, and the runs ended: 取消 is
  // enabled while one goes.
  await page.evaluate(() => {
    Object.assign(window, { shown: [], titles: [], ended: 0 });
    const [status, cancel] = ['status', 'cancel'].map((id) => document.getElementById(id));
    new MutationObserver(() => window.shown.push(status.textContent)).observe(status, { childList: true, characterData: true, subtree: true });
    new MutationObserver(() => window.titles.push(document.title)).observe(document.querySelector('title'), { childList: true });
    new MutationObserver(() => { window.ended += cancel.disabled; }).observe(cancel, { attributeFilter: ['disabled'] });
  });
  const box = (name) => page.getByLabel(name, { exact: true });
  return {
    page,
    async pick(...files) {
      await page.getByLabel('浏览').setInputFiles(files.map(([name, buffer]) => ({ name, buffer })));
      await page.waitForFunction((n) => n > 1 || document.getElementById('device-name').value, files.length);
    },
    async fill(boxes) {
      for (const [name, text] of Object.entries(boxes)) await box(name).fill(text);
    },
    // Runs 下载 or 上传 (or what starts a run); the texts shown, and the download offered, if any.
    async run(start, { utf8: asUtf8 = false } = {}) {
      await page.getByLabel('存为UTF-8').setChecked(asUtf8);
      const ended = await page.evaluate(() => { window.shown = []; return window.ended; });
      const offered = page.waitForEvent('download', { timeout: 10000 }).catch(() => null);
      await (typeof start === 'string' ? page.getByRole('button', { name: start }).click() : start());
      await page.waitForFunction((n) => window.ended > n, ended, { timeout: 10000 });
      const shown = await page.evaluate(() => window.shown);
      const download = start === '上传' ? await offered : null;
      return { shown, download: download && { name: download.suggestedFilename(), bytes: readFileSync(await download.path()) } };
    },
    // What the dialog shows after a reload: the remembered choices.
    async reloaded() {
      await page.reload();
      await page.waitForFunction(() => !document.getElementById('download').disabled);
      return [await box('文曲星目录').inputValue(), await page.getByLabel('存为UTF-8').isChecked(),
        await page.getByLabel('端口').evaluate((select) => select.selectedOptions[0].text)];
    },
    async diskFile(directory, name) {
      const row = page.getByRole('row').filter({ hasText: directory }).filter({ has: page.getByRole('link', { name, exact: true }) });
      const [download] = await Promise.all([page.waitForEvent('download'), row.getByRole('link').click()]);
      return readFileSync(await download.path());
    },
  };
}

// An application image and what it decodes to, coded with a made-up table
// (row r: byte b becomes b + 2r + 1): layout of formats/application_image.h.
function applicationImage() {
  const table = Buffer.alloc(65536, 0).map((_, i) => ((i & 255) + 2 * (i >> 8) + 1) & 255);
  const [keyHead, keyTail] = [Buffer.from([3, 9]), Buffer.from([5, 1])];
  const [kept, tail] = [utf8('application body'), utf8('tail')];
  const code = (plain, start) => plain.map((b, i) => table[(keyHead[(start + i) % 2] ^ keyTail[(start + i) % 2]) * 256 + b]);
  const body = Buffer.concat([Buffer.alloc(78, 0x20), kept]);
  const image = Buffer.concat([Buffer.from([2]), keyHead, Buffer.from([kept.length, 0]), code(body, 0), keyTail, code(tail, body.length)]);
  return { table, image, decoded: Buffer.concat([kept, keyTail, tail]) };
}

// PAC, 12 bytes, a count, then per entry its size, a 60-byte GBK path, its data.
function packageOf(entries) {
  const parts = entries.map(([path, data]) => {
    const header = Buffer.alloc(64);
    header.writeUInt32LE(data.length);
    header.write(path, 4, 'latin1');
    return Buffer.concat([header, data]);
  });
  const count = Buffer.alloc(2);
  count.writeInt16LE(entries.length);
  return Buffer.concat([Buffer.from('PAC '), Buffer.alloc(12), count, ...parts]);
}

test('through 虚拟文曲星, byte for byte', async (t) => {
  const ui = await openPage();
  const app = applicationImage();
  const text = Buffer.concat([GBK_WQX, gbk('\r\nline two\r\n')]);
  const [waiting, succeeded] = ['等待传输开始...', '传输成功。'];
  const rows = [
    { name: 'a text gains its header on the handheld and loses it coming back, each way with the dialog\'s texts',
      send: [['note.txt', text]], on: [['文本文件', 'note.txt', (got) => got.length > text.length && got.subarray(-text.length).equals(text)]],
      back: { boxes: { 电脑文件: 'note.txt', 文曲星目录: '文本文件', 文曲星文件: 'note.txt' }, bytes: text } },
    { name: 'UTF-8 text arrives as GBK, and comes back as UTF-8 when asked',
      send: [['utf8.txt', utf8('文曲星\r\n')]], on: [['文本文件', 'utf8.txt', (got) => got.subarray(-8).equals(Buffer.concat([GBK_WQX, gbk('\r\n')]))]],
      back: { boxes: { 电脑文件: 'back.txt', 文曲星目录: '文本文件', 文曲星文件: 'utf8.txt' }, utf8: true, bytes: utf8('文曲星\r\n') } },
    { name: 'a package puts each entry where it names',
      send: [['two.pac', packageOf([['LAVA/a.dat', utf8('first')], ['b.dat', utf8('second')]])]],
      on: [['LAVA', 'a.dat', (got) => got.equals(utf8('first'))], ['/', 'b.dat', (got) => got.equals(utf8('second'))]] },
    { name: 'an application image arrives decoded with the chosen table', table: app.table,
      send: [['game.bin', app.image]], on: [['应用程序', 'game.bin', (got) => got.equals(app.decoded)]] },
    { name: 'several chosen files go at once, in one session, each where proposed',
      send: [['one.dat', utf8('1')], ['two.dat', utf8('22')]], says: ['2个文件，第一个是one.dat 等待传输开始...', '共发送了2个文件 传输成功。'],
      on: [['LavaData', 'one.dat', (got) => got.equals(utf8('1'))], ['LavaData', 'two.dat', (got) => got.equals(utf8('22'))]] },
    // Refused as typed (the box keeps what it had), or when sent: nothing runs.
    { name: 'a name past 14 bytes is refused as typed', send: [['kept.dat', utf8('k')]], typed: { 文曲星文件: 'abcdefghijklmno' },
      refused: '文曲星文件名不能超过14字节（7个汉字），这样会有15字节' },
    { name: 'a name with a space is refused when sent', send: [['kept.dat', utf8('k')]], typed: { 文曲星文件: 'a b' }, press: '下载',
      refused: '文曲星文件名不能有空格' },
  ];
  for (const row of rows) {
    await t.test(row.name, async () => {
      if (row.table) await ui.page.getByLabel('替换表', { exact: true }).setInputFiles({ name: 'substitution.table', buffer: row.table });
      if (row.refused) {
        await ui.pick(...row.send);
        const ended = await ui.page.evaluate(() => window.ended);
        await ui.fill(row.typed);
        if (row.press) await ui.page.getByRole('button', { name: row.press }).click();
        assert.equal(await ui.page.getByRole('status').textContent(), row.refused);
        assert.equal(await ui.page.getByLabel('文曲星文件').inputValue(), row.press ? row.typed.文曲星文件 : row.send[0][0]);
        assert.equal(await ui.page.evaluate(() => window.ended), ended);
        return;
      }
      const [first, last] = row.says ?? [waiting, succeeded];
      const several = row.send.length > 1;
      if (!several) await ui.pick(...row.send);
      const sent = await ui.run(several ? () => ui.pick(...row.send) : '下载');
      assert.ok(sent.shown[0] === first && sent.shown.at(-1).startsWith(last), sent.shown.join('|'));
      for (const [directory, name, check] of row.on) assert.ok(check(await ui.diskFile(directory, name)), `${directory}/${name}`);
      if (!row.back) return;
      await ui.fill(row.back.boxes);
      const got = await ui.run('上传', row.back);
      assert.deepEqual([got.shown[0], got.shown.at(-1)], [waiting, succeeded]);
      assert.equal(got.download.name, row.back.boxes.电脑文件);
      assert.deepEqual(got.download.bytes, row.back.bytes);
    });
  }
  // The figures "%5dk" whole, with their spaces, and the share in the title.
  await t.test('a large file shows its kilobytes and its share in the title', async () => {
    await ui.pick(['big.dat', Buffer.alloc(300000, 7)]);
    const { shown } = await ui.run('下载');
    assert.equal(shown.at(-1), '传输成功。');
    assert.ok(shown.includes('  292k'), shown.join('|'));
    assert.ok((await ui.page.evaluate(() => window.titles)).some((title) => /^KESTREL \d+%$/.test(title)));
    await ui.page.screenshot({ path: join(SHOTS, 'page-after-download.png'), fullPage: true });
  });
  await ui.page.close();
});

// The port the page is given by the stand-in: every one closed, no lock left.
const portsReleased = (page) => page.evaluate(() => window.standIn.given.every((port) => port.opened === port.closed && !port.readable));

test('through Web Serial to the native kestrel-cli simulate', async () => {
  const ui = await openPage('bridge');
  await ui.page.getByLabel('端口').selectOption({ label: '串口…' });
  await ui.page.waitForFunction(() => document.getElementById('port').selectedOptions[0].text === 'Web Serial');
  const text = gbk('over the bridge\r\n');
  await ui.pick(['bridge.txt', text]);
  assert.equal((await ui.run('下载')).shown.at(-1), '传输成功。');
  const onDisk = readFileSync(join(handheldRoot, '文本文件', 'bridge.txt'));
  assert.ok(onDisk.length > text.length && onDisk.subarray(-text.length).equals(text));
  mkdirSync(join(handheldRoot, 'LAVA'), { recursive: true });
  writeFileSync(join(handheldRoot, 'LAVA', 'native.dat'), utf8('from the native side'));
  await ui.fill({ 文曲星目录: 'LAVA', 文曲星文件: 'native.dat', 电脑文件: 'native.dat' });  // the PC box last: leaving it proposes
  assert.deepEqual((await ui.run('上传')).download, { name: 'native.dat', bytes: utf8('from the native side') });
  assert.ok(await portsReleased(ui.page));
  await ui.page.close();
});

// After it, a run through 虚拟文曲星 is remembered: its port, directory and 存为UTF-8.
test('取消 ends a run, the port released, and the next run goes', async (t) => {
  const rows = [
    // A port whose handheld never greets, which the page starts on: cancelled
    // while the run waits, the port it listens on named.
    { name: 'while waiting for the handheld', serial: 'silent', when: (text) => text.startsWith('等待传输开始... 正在监听串口Web Serial，') },
    { name: 'in the middle of a file', serial: 'virtual', when: (text) => /k$/.test(text) },
    // Not a cancel: the run fails, and says so.
    { name: 'the cable pulled out', serial: 'silent', when: (text) => text.startsWith('等待传输开始... 正在监听串口Web Serial，'), unplug: true, end: /^终止传输：(?!已取消)/ },
  ];
  for (const row of rows) {
    await t.test(row.name, async () => {
      const ui = await openPage(row.serial);
      await ui.page.evaluate(([when, unplug]) => {
        const status = document.getElementById('status');
        const actWhen = new Function('text', `return (${when})(text)`);
        new MutationObserver((_, observer) => {
          if (!actWhen(status.textContent)) return;
          observer.disconnect();
          if (unplug) window.standIn.unplug(); else document.getElementById('cancel').click();
        }).observe(status, { characterData: true, subtree: true });
      }, [row.when.toString(), row.unplug ?? false]);
      await ui.pick(['cancelled.dat', Buffer.alloc(1 << 20, 1)]);
      const { shown } = await ui.run('下载');
      assert.match(shown.at(-1), row.end ?? /^终止传输：已取消$/);
      if (row.serial === 'silent') assert.ok(await portsReleased(ui.page));
      await ui.page.getByLabel('端口').selectOption({ label: '虚拟文曲星' });
      await ui.pick(['after.dat', utf8('after')]);
      assert.equal((await ui.run('下载', { utf8: true })).shown.at(-1), '传输成功。');
      assert.deepEqual(await ui.reloaded(), ['LavaData', true, '虚拟文曲星']);
      await ui.page.close();
    });
  }
});

test('without Web Serial the page says so and offers no serial port', async () => {
  const ui = await openPage('none');
  assert.ok(await ui.page.getByText('Web Serial').isVisible());
  assert.deepEqual(await ui.page.getByLabel('端口').locator('option').allTextContents(), ['虚拟文曲星']);
  await ui.pick(['plain.dat', utf8('plain')]);
  assert.equal((await ui.run('下载')).shown.at(-1), '传输成功。');
  await ui.page.close();
});
