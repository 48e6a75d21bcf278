// The page as a view: setters that the module calls (through Module.view)
// to show what it decided, and the person's gestures handed on to whoever
// listens (main.js). Nothing here decides what a gesture means.

const $ = (id) => document.getElementById(id);

function save(bytes, name) {
  const link = document.createElement('a');
  link.href = URL.createObjectURL(new Blob([bytes]));
  link.download = name;
  link.textContent = name;
  link.click();
  return link;
}

export class View {
  constructor() {
    this.pcFile = $('pc-file');
    this.deviceName = $('device-name');
    this.deviceDirectory = $('device-directory');
    this.port = $('port');
    this.utf8 = $('utf8');
    this.status = $('status');
    this.running = false;
  }

  showStatus(text) { this.status.textContent = text; }
  // Set only when it changes: each title set is dear in the browser.
  showTitle(text) {
    if (text !== this.title) document.title = text;
    this.title = text;
  }
  showPcFile(text) { this.pcFile.value = text; }
  showDeviceName(text) { this.deviceName.value = text; }
  showDeviceDirectory(text) { this.deviceDirectory.value = text; }
  showUtf8(checked) { this.utf8.checked = checked; }

  showPort(setting) {
    if ([...this.port.options].some((option) => option.value === setting)) this.port.value = setting;
  }

  showPresets(directories) {
    $('directory-presets').replaceChildren(...directories.split('\n').map((name) => new Option(name)));
  }

  showRunning(running) {
    this.running = running;
    for (const id of ['pc-file', 'browse', 'device-directory', 'device-name', 'port', 'utf8',
      'download', 'upload', 'table']) {
      $(id).disabled = running;
    }
    $('cancel').disabled = !running;
  }

  // A received file: saved at once, and listed to be saved again.
  offerDownload(bytes, name) {
    const item = document.createElement('li');
    item.append(save(bytes, name));
    $('received').prepend(item);
  }

  setting(key) { return localStorage.getItem(`kestrel.${key}`); }
  remember(key, value) { localStorage.setItem(`kestrel.${key}`, value); }

  // Without Web Serial, a line that says so, and no 串口… to choose.
  showNoSerial() {
    $('no-serial').hidden = false;
    this.port.querySelector('.needs-serial').remove();
  }

  addSerialPort(name, chosen) {
    const option = new Option(name, `serial:${name}`);
    this.port.querySelector('.needs-serial')?.before(option);
    if (chosen) this.port.value = option.value;
  }

  showTableState(text) { $('table-state').textContent = text; }

  // The handheld's files: directory, name, size, each downloadable.
  showDisk(files, read) {
    $('disk').tBodies[0].replaceChildren(...files.map((file) => {
      const row = document.createElement('tr');
      const link = document.createElement('a');
      link.textContent = file.name;
      link.href = '#';
      link.addEventListener('click', (event) => {
        event.preventDefault();
        save(read(file.path), file.name);
      });
      const cells = [file.directory || '/', link, String(file.size)].map((content) => {
        const cell = document.createElement('td');
        cell.append(content);
        return cell;
      });
      cells[2].className = 'size';
      row.append(...cells);
      return row;
    }));
  }

  // gestures: { pick(files), drop(files), transfer(send), cancel(), port(value, previous), table(file) }
  listen(gestures) {
    const boxes = () => [this.pcFile.value, this.deviceName.value, this.deviceDirectory.value,
      this.port.value, this.utf8.checked];
    $('browse').addEventListener('change', (event) => {
      gestures.pick([...event.target.files]);
      event.target.value = '';
    });
    $('download').addEventListener('click', () => gestures.transfer(true, ...boxes()));
    $('upload').addEventListener('click', () => gestures.transfer(false, ...boxes()));
    $('cancel').addEventListener('click', () => gestures.cancel());
    document.addEventListener('keydown', (event) => { if (event.key === 'Escape') gestures.cancel(); });
    let previous = this.port.value;
    this.port.addEventListener('focus', () => { previous = this.port.value; });
    this.port.addEventListener('change', async () => {
      this.port.value = await gestures.port(this.port.value, previous);
      previous = this.port.value;
    });
    $('table').addEventListener('change', (event) => gestures.table(event.target.files[0]));
    const dialog = $('dialog');
    dialog.addEventListener('dragover', (event) => {
      if (this.running) return;
      event.preventDefault();
      dialog.classList.add('dropping');
    });
    dialog.addEventListener('dragleave', () => dialog.classList.remove('dropping'));
    dialog.addEventListener('drop', (event) => {
      event.preventDefault();
      dialog.classList.remove('dropping');
      if (!this.running) gestures.drop([...event.dataTransfer.files]);
    });
  }

  enable() { this.showRunning(false); }
}
