// The page's start: one compiled module, two instances (the transfers and
// 虚拟文曲星), the view, and the person's gestures queued so that the
// transfer instance runs one call at a time (it may not be re-entered while
// a transfer waits on its port). 取消 never waits: it cancels the ports.

import createKestrel from './kestrel.js';
import { View } from './view.js';
import { SerialPorts } from './serial_ports.js';
import { VirtualHandheld } from './handheld.js';

const VIRTUAL = '虚拟文曲星';
const TABLE_KEY = 'kestrel.substitutionTable';

const view = new View();
const serial = navigator.serial;  // the page's own window, nowhere else
const granted = new Map();        // serial ports the person gave, by name

function nameFor(port) {
  const { usbVendorId: vendor, usbProductId: product } = port.getInfo?.() ?? {};
  const hex = (n) => n.toString(16).padStart(4, '0');
  const base = vendor === undefined ? '串口' : `USB ${hex(vendor)}:${hex(product)}`;
  let name = base;
  for (let n = 2; granted.has(name) && granted.get(name) !== port; n += 1) name = `${base} #${n}`;
  return name;
}

function grant(port, chosen) {
  const known = [...granted].find(([, p]) => p === port);
  if (known) return known[0];
  const name = nameFor(port);
  granted.set(name, port);
  view.addSerialPort(name, chosen);
  return name;
}

const compiled = fetch(new URL('kestrel.wasm', import.meta.url))
  .then((response) => response.arrayBuffer()).then((bytes) => WebAssembly.compile(bytes));
const options = {
  instantiateWasm(imports, done) {
    compiled.then((module) => WebAssembly.instantiate(module, imports))
      .then((instance) => done(instance));
    return {};
  },
};

const handheld = await VirtualHandheld.start(createKestrel, { ...options, view });
const ports = new SerialPorts((name) => (name === VIRTUAL ? handheld.line() : granted.get(name)));
const kestrel = await createKestrel({ ...options, view, serialPorts: ports });
for (const folder of ['/pc', '/config']) kestrel.FS.mkdir(folder);
kestrel.FS.mkdir('/tmp/kestrel', 0o700);

function loadTable() {
  const kept = localStorage.getItem(TABLE_KEY);
  const path = '/config/substitution.table';
  if (kept) kestrel.FS.writeFile(path, Uint8Array.from(atob(kept), (c) => c.charCodeAt(0)));
  view.showTableState(kept ? '已选' : '未选');
}

const showDisk = () => view.showDisk(handheld.files(), (path) => handheld.read(path));
handheld.onChange = showDisk;

if (serial) {
  for (const port of await serial.getPorts()) grant(port, false);
  serial.addEventListener?.('disconnect', () => ports.cancelAll());
} else {
  view.showNoSerial();
}

let work = Promise.resolve();
const queue = (job) => { work = work.then(job).catch((error) => view.showStatus(String(error))); };

async function stage(files) {
  for (const file of files) {
    kestrel.FS.writeFile(`/pc/${file.name}`, new Uint8Array(await file.arrayBuffer()));
  }
  kestrel.ccall('kestrel_page_pick', null, ['number', 'string'],
    [page, files.map((file) => file.name).join('\n')]);
}

function transfer(send, pcFile, deviceName, deviceDirectory, port, utf8) {
  queue(async () => {
    ports.beginRun();
    await kestrel.ccall('kestrel_page_transfer', null,
      ['number', 'number', 'string', 'string', 'string', 'string', 'number'],
      [page, send ? 1 : 0, pcFile, deviceName, deviceDirectory, port, utf8 ? 1 : 0], { async: true });
  });
}

const page = kestrel._kestrel_page_open();
loadTable();
showDisk();
view.listen({
  pick: (files) => queue(() => stage(files)),
  drop: (files) => queue(async () => {
    await stage(files);
    if (files.length > 1) transfer(true, view.pcFile.value, '', '', view.port.value, false);
  }),
  transfer,
  cancel: () => ports.cancelAll(),
  async port(value, previous) {
    if (value !== 'request') return value;
    try {
      return `serial:${grant(await serial.requestPort(), true)}`;
    } catch {
      return previous;  // the person chose none
    }
  },
  table: (file) => queue(async () => {
    const bytes = new Uint8Array(await file.arrayBuffer());
    localStorage.setItem(TABLE_KEY, btoa(String.fromCharCode(...bytes)));
    loadTable();
  }),
});
addEventListener('pagehide', () => { ports.cancelAll(); ports.closeAll(); handheld.ports.closeAll(); });
view.enable();
