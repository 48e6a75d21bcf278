// The page's start: one compiled module, two instances (the dialog's
// controller with its runs, and 虚拟文曲星), the view, and the person's
// gestures handed to the controller (web/glue/page.cpp). A run suspends its
// instance at every wait on the port, and a suspended instance may not be
// entered: gestures made meanwhile are queued, and the run takes them when
// a read lets the page in (serial_ports.js, interrupt()) and before its end.

import createKestrel from './kestrel.js';
import { View } from './view.js';
import { SerialPorts } from './serial_ports.js';
import { VirtualHandheld } from './handheld.js';

const VIRTUAL = '虚拟文曲星';
const TABLE_KEY = 'kestrel.substitutionTable';
// The controller's gestures, in web/glue/page.cpp's order.
const [EDIT, COMMIT_PC_PATH, DROP, CHOOSE_PORT, REFRESH_PORTS, FETCH_AS_UTF8, DOWNLOAD, UPLOAD,
  EXIT_OR_CANCEL, ESCAPE, ABOUT] = Array.from({ length: 11 }, (_, code) => code);

const view = new View();
const serial = navigator.serial;  // the page's own window, nowhere else
const granted = new Map();        // serial ports the person gave, by name

// ASCII, like a system's port names, which the run's texts (GBK) carry.
function nameFor(port) {
  const { usbVendorId: vendor, usbProductId: product } = port.getInfo?.() ?? {};
  const hex = (n) => n.toString(16).padStart(4, '0');
  const base = vendor === undefined ? 'Web Serial' : `USB ${hex(vendor)}:${hex(product)}`;
  let name = base;
  for (let n = 2; granted.has(name) && granted.get(name) !== port; n += 1) name = `${base} #${n}`;
  return name;
}

function grant(port) {
  const known = [...granted].find(([, p]) => p === port);
  if (known) return known[0];
  const name = nameFor(port);
  granted.set(name, port);
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

const handheld = await VirtualHandheld.start(createKestrel, options);
const ports = new SerialPorts((name) => (name === VIRTUAL ? handheld.line() : granted.get(name)));
const queued = [];
let running = false;
const serveQueued = () => { while (queued.length) queued.shift()(); };
ports.onInterrupt = serveQueued;
const kestrel = await createKestrel({
  ...options, view, serialPorts: ports, serveQueued, portNames: () => [...granted.keys()],
});
for (const folder of ['/pc', '/config']) kestrel.FS.mkdir(folder);
kestrel.FS.mkdir('/tmp/kestrel', 0o700);
kestrel.FS.chdir('/pc');  // PC files: those the person chose, and those received

if (serial) {
  for (const port of await serial.getPorts()) grant(port);
  serial.addEventListener?.('disconnect', (event) => ports.hangUp(event.target));
} else {
  view.showNoSerial();
}
const page = kestrel._kestrel_page_open();

async function run() {
  running = true;
  ports.beginRun();
  try {
    await kestrel.ccall('kestrel_page_run', null, ['number'], [page], { async: true });
  } finally {
    running = false;
  }
  serveQueued();
}

// Handed on now, or once the run lets the page in; `before` readies what
// the gesture needs, and a `number` that is a function is read, when it is
// taken.
function gesture(code, number = 0, text = '', before = () => {}) {
  const take = () => {
    before();
    const started = kestrel.ccall('kestrel_page_gesture', 'number', ['number', 'number', 'number', 'string'],
      [page, code, typeof number === 'function' ? number() : number, text]);
    if (started) run().catch((error) => view.show(0, String(error)));
  };
  if (!running) return take();
  queued.push(take);
  return ports.interrupt();
}

// Chosen or dropped files land in the PC folder by name, each replacing
// the one before it (a run reading that keeps its bytes); a folder, which
// cannot be read, lands nowhere and so is refused.
async function files(chosen) {
  const names = chosen.map((file) => file.name);
  const read = await Promise.all(chosen.map((file) => file.arrayBuffer().catch(() => null)));
  gesture(DROP, 0, names.join('\n'), () => read.forEach((bytes, i) => {
    try { kestrel.FS.unlink(names[i]); } catch { /* none before it */ }
    if (bytes) kestrel.FS.writeFile(names[i], new Uint8Array(bytes));
  }));
}

function loadTable() {
  const kept = localStorage.getItem(TABLE_KEY);
  const path = '/config/substitution.table';
  if (kept) kestrel.FS.writeFile(path, Uint8Array.from(atob(kept), (c) => c.charCodeAt(0)));
  view.showTableState(kept ? '已选' : '未选');
}

const showDisk = () => view.showDisk(handheld.files(), (path) => handheld.read(path));
handheld.onChange = showDisk;

loadTable();
showDisk();
view.listen({
  edit: (box, text) => gesture(EDIT, box, text),
  commitPcPath: () => gesture(COMMIT_PC_PATH),
  files,
  choosePort: (index) => gesture(CHOOSE_PORT, index),
  refreshPorts: () => gesture(REFRESH_PORTS),
  async requestPort() {
    let name;
    try {
      name = grant(await serial.requestPort());
    } catch {
      return;  // the person chose none
    }
    gesture(REFRESH_PORTS);
    gesture(CHOOSE_PORT, () => view.selectPort(name));
  },
  fetchAsUtf8: (checked) => gesture(FETCH_AS_UTF8, checked ? 1 : 0),
  download: () => gesture(DOWNLOAD),
  upload: () => gesture(UPLOAD),
  cancel: () => gesture(EXIT_OR_CANCEL),
  escape: () => gesture(ESCAPE),
  about: () => gesture(ABOUT),
  async table(file) {
    const bytes = new Uint8Array(await file.arrayBuffer());
    localStorage.setItem(TABLE_KEY, btoa(String.fromCharCode(...bytes)));
    loadTable();
  },
});
addEventListener('pagehide', () => { ports.cancelAll(); ports.closeAll(); handheld.ports.closeAll(); });
view.ready();
