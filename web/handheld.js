// 虚拟文曲星 in the page: the virtual handheld of `kestrel-cli simulate`, in
// a module instance of its own, its disk kept in the browser's storage
// (IndexedDB, through emscripten's IDBFS) under /disk. Each run through it
// gets a fresh in-memory line; the handheld serves the line's far end from
// when the page opens its end until the page closes it.

import { makeLinePair } from './virtual_line.js';
import { SerialPorts } from './serial_ports.js';

const DISK = '/disk';
const FAR_END = 'line';

function sync(fs, populate) {
  return new Promise((resolve) => fs.syncfs(populate, () => resolve()));
}

export class VirtualHandheld {
  static async start(createModule, options) {
    const ports = new SerialPorts(() => ports.farEnd);
    const module = await createModule({ ...options, serialPorts: ports });
    module.FS.mkdir(DISK);
    module.FS.mount(module.FS.filesystems.IDBFS, {}, DISK);
    await sync(module.FS, true);
    return new VirtualHandheld(module, ports);
  }

  constructor(module, ports) {
    this.module = module;
    this.ports = ports;
    this.served = Promise.resolve();
    this.onChange = () => {};
  }

  // The page's end of a new line; the handheld starts serving once the page
  // opens it, and its disk is kept once the page has closed it.
  line() {
    const [near, far] = makeLinePair();
    near.onOpen = () => {
      this.ports.farEnd = far;
      this.served = this.served.then(() => this.serve());
    };
    return near;
  }

  async serve() {
    await this.module.ccall('kestrel_handheld_serve', 'number', ['string', 'string'],
      [DISK, FAR_END], { async: true });
    await sync(this.module.FS, false);
    this.onChange();
  }

  // Every file on the disk: { directory, name, size }, the root's first.
  files() {
    const { FS } = this.module;
    const found = [];
    const walk = (path, directory) => {
      for (const name of FS.readdir(path).sort()) {
        if (name === '.' || name === '..') continue;
        const full = `${path}/${name}`;
        const stat = FS.stat(full);
        if (FS.isDir(stat.mode)) walk(full, directory ? `${directory}/${name}` : name);
        else found.push({ directory, name, size: stat.size, path: full });
      }
    };
    walk(DISK, '');
    return found.sort((a, b) => (a.directory > b.directory) - (a.directory < b.directory));
  }

  read(path) { return this.module.FS.readFile(path); }
}
