// The page against the native program on this machine: a 1 MiB send and
// receive through the in-page 虚拟文曲星 (time, and the page's main-thread
// CPU from chromium's own count), the same through the native kestrel-cli
// and its simulator on a pseudo-terminal (time, and both processes' CPU),
// and what the page downloads. Each way runs ROUNDS times: the page's first
// run (its code still being compiled and tuned) is shown apart, the rest as
// their median, beside the native median. Figures only; no targets are
// judged here. Run through scripts/bench-web, which builds both.
import { spawn, spawnSync } from 'node:child_process';
import { mkdtempSync, readFileSync, statSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { chromium } from 'playwright-core';
import { serveSite } from '../scripts/serve-web.mjs';

const SITE = process.env.KESTREL_SITE ?? 'build/web/site';
const CLI = process.env.KESTREL_NATIVE_CLI ?? 'build/release/app/cli/kestrel-cli';
const MIB = 1 << 20;
const ROUNDS = Number(process.env.ROUNDS ?? 5);
const median = (runs, field) => runs.map((run) => run[field]).sort((a, b) => a - b)[runs.length >> 1];
const typical = (runs) => ({ ms: median(runs, 'ms'), cpuMs: median(runs, 'cpuMs') });
const sample = Buffer.alloc(MIB).map((_, i) => (i * 131 + (i >> 10)) & 255);
const scratch = mkdtempSync(join(tmpdir(), 'kestrel-bench-'));

async function pageFigures() {
  const { server, url } = await serveSite(SITE);
  const browser = await chromium.launch({ executablePath: '/usr/bin/chromium', args: ['--headless=new', '--no-sandbox'] });
  const page = await browser.newPage({ acceptDownloads: true });
  const cdp = await page.context().newCDPSession(page);
  await cdp.send('Performance.enable');
  const busy = async () => (await cdp.send('Performance.getMetrics')).metrics.find((m) => m.name === 'TaskDuration').value;
  const opened = Date.now();
  await page.goto(url);
  await page.waitForFunction(() => !document.getElementById('download').disabled);
  const interactive = Date.now() - opened;
  await page.getByLabel('浏览').setInputFiles({ name: 'sample.dat', buffer: sample });
  await page.waitForFunction(() => document.getElementById('device-name').value);
  const runs = { send: [], receive: [] };
  for (let round = 0; round < ROUNDS; round += 1) {
    for (const [way, button] of [['send', '下载'], ['receive', '上传']]) {
      const cpu = await busy();
      const started = await page.evaluate(() => performance.now());
      const offered = button === '上传' ? page.waitForEvent('download') : null;
      await page.getByRole('button', { name: button }).click();
      await page.waitForFunction(() => !document.getElementById('download').disabled, null, { timeout: 120000 });
      runs[way].push({ ms: (await page.evaluate(() => performance.now())) - started, cpuMs: (await busy() - cpu) * 1000 });
      if (offered && !readFileSync(await (await offered).path()).equals(sample)) throw new Error('the page received other bytes');
    }
  }
  const figures = { interactive };
  for (const way of ['send', 'receive']) figures[way] = { first: runs[way][0], rest: typical(runs[way].slice(1)) };
  await browser.close();
  server.close();
  return figures;
}

// User and system CPU of a process so far, in ms, from /proc.
function cpuOf(pid) {
  const fields = readFileSync(`/proc/${pid}/stat`, 'utf8').split(') ')[1].split(' ');
  return ((Number(fields[11]) + Number(fields[12])) * 1000) / 100;
}

function timed(args) {
  const run = spawnSync('bash', ['-c', 'TIMEFORMAT="%R %U %S"; time "$@" >/dev/null', 'bench', CLI, ...args], { encoding: 'utf8' });
  if (run.status !== 0) throw new Error(`kestrel-cli ${args[0]} failed: ${run.stderr}`);
  const [real, user, system] = run.stderr.trim().split('\n').at(-1).split(' ').map(Number);
  return { ms: real * 1000, cpuMs: (user + system) * 1000 };
}

async function nativeFigures() {
  const simulator = spawn(CLI, ['simulate', '--root', join(scratch, 'handheld')], { stdio: ['ignore', 'pipe', 'ignore'] });
  const port = await new Promise((found) => simulator.stdout.once('data', (d) => found(String(d).trim())));
  writeFileSync(join(scratch, 'sample.dat'), sample);
  const runs = { send: [], receive: [] };
  for (let round = 0; round < ROUNDS; round += 1) {
    for (const [way, args] of [['send', ['send', join(scratch, 'sample.dat')]],
      ['receive', ['receive', join(scratch, 'back.dat'), '--dir', 'LavaData', '--name', 'sample.dat']]]) {
      const handheldCpu = cpuOf(simulator.pid);
      const run = timed([...args, '--port', port]);
      run.cpuMs += cpuOf(simulator.pid) - handheldCpu;
      runs[way].push(run);
    }
  }
  const figures = { send: typical(runs.send), receive: typical(runs.receive) };
  simulator.kill();
  if (!readFileSync(join(scratch, 'back.dat')).equals(sample)) throw new Error('the native run received other bytes');
  return figures;
}

const size = (file) => statSync(join(SITE, file)).size;
const files = ['kestrel.wasm', 'kestrel.js', 'main.js', 'view.js', 'serial_ports.js', 'virtual_line.js',
  'handheld.js', 'index.html', 'style.css'];
const page = await pageFigures();
const native = await nativeFigures();
console.log('1 MiB through the virtual handheld (page: both instances on its one thread; native: kestrel-cli and simulate)');
console.log(`${ROUNDS} runs each way; the page's first run apart, then the median of the others and of the native runs`);
console.log(`${'way'.padEnd(15)}${'page time'.padStart(11)}${'page CPU'.padStart(11)}${'native time'.padStart(13)}${'native CPU'.padStart(12)}${'CPU ratio'.padStart(11)}`);
for (const way of ['send', 'receive']) {
  const n = native[way];
  for (const [which, p] of [['first', page[way].first], ['median', page[way].rest]]) {
    console.log(`${`${way} ${which}`.padEnd(15)}${`${p.ms.toFixed(0)} ms`.padStart(11)}${`${p.cpuMs.toFixed(0)} ms`.padStart(11)}` +
      `${`${n.ms.toFixed(0)} ms`.padStart(13)}${`${n.cpuMs.toFixed(0)} ms`.padStart(12)}${`${(p.cpuMs / n.cpuMs).toFixed(1)}x`.padStart(11)}`);
  }
}
console.log(`page interactive after ${page.interactive} ms on localhost`);
const total = files.reduce((sum, file) => sum + size(file), 0);
console.log(`page download: ${total} bytes (${(total / MIB).toFixed(2)} MiB): wasm ${size('kestrel.wasm')}, ` +
  `JavaScript ${files.filter((f) => f.endsWith('.js')).reduce((s, f) => s + size(f), 0)}, HTML ${size('index.html')}, CSS ${size('style.css')}`);
