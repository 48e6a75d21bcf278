// The page as the dialog's view: setters that the module calls (through
// Module.view, see web/glue/page_view.cpp) to show what the dialog's
// controller decided, and the person's gestures handed on to whoever
// listens (main.js). Nothing here decides what a gesture means.

const $ = (id) => document.getElementById(id);

// In the order of the module's codes: what it shows, the boxes, the
// controls it enables.
const SHOWN = ['status', 'title', 'pc-file', 'device-name', 'device-directory', 'directory-presets'];
const BOXES = SHOWN.slice(2, 5);
const CONTROLS = ['download', 'upload', 'browse', 'cancel'];

function save(bytes, name) {
  const link = document.createElement('a');
  link.href = URL.createObjectURL(new Blob([bytes]));
  link.download = name;
  link.textContent = name;
  link.click();
  return link;
}

const TITLE_MS = 100;

export class View {
  constructor() {
    this.port = $('port');
    this.chosen = 0;  // the port the controller holds chosen
    this.status = document.createTextNode('');  // its text changed in place: cheaper than a new node
    $('status').append(this.status);
    this.title = this.titleShown = document.title;
    this.titleSetAt = 0;
    this.titleDue = null;
  }

  show(what, text) {
    const id = SHOWN[what];
    if (id === 'status') this.status.data = text;
    else if (id === 'title') this.showTitle(text);
    else if (id === 'directory-presets') $(id).replaceChildren(...text.split('\n').map((name) => new Option(name)));
    else $(id).value = text;
  }

  // A title costs the browser more than a text: a percentage is set at
  // once where the title had none, and then at most every TITLE_MS, the
  // last one always.
  showTitle(text) {
    this.title = text;
    if (this.titleDue || text === this.titleShown) return;
    const set = () => {
      this.titleDue = null;
      this.titleSetAt = performance.now();
      document.title = this.titleShown = this.title;
    };
    const wait = this.titleShown.endsWith('%') ? this.titleSetAt + TITLE_MS - performance.now() : 0;
    if (wait <= 0) set(); else this.titleDue = setTimeout(set, wait);
  }

  // The controller's list, then 串口… where the browser has Web Serial.
  showPorts(labels, details, chosen) {
    const request = this.port.querySelector('.needs-serial');
    this.port.replaceChildren(...labels.map((label, index) => {
      const option = new Option(label, index);
      option.title = details[index];
      return option;
    }));
    if (request) this.port.append(request);
    this.port.value = this.chosen = chosen;
  }

  // The port the browser gave, chosen by the person: its entry.
  selectPort(label) {
    this.chosen = [...this.port.options].findIndex((option) => option.text === label);
    this.port.value = this.chosen;
    return this.chosen;
  }

  check(checked) { $('utf8').checked = checked; }

  // 浏览 stands for choosing PC files at all: a drop is taken while it is.
  enable(control, enabled) { $(CONTROLS[control]).disabled = !enabled; }

  focus(control) { $(CONTROLS[control]).focus(); }

  ask(question) { return window.confirm(question); }

  about(title, text) { window.alert(`${title}\n\n${text}`); }

  // A received file: saved at once, and listed to be saved again.
  offerDownload(bytes, name) {
    const item = document.createElement('li');
    item.append(save(bytes, name));
    $('received').prepend(item);
  }

  // Without Web Serial, a line that says so, and no 串口… to choose.
  showNoSerial() {
    $('no-serial').hidden = false;
    this.port.querySelector('.needs-serial').remove();
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

  // gestures: { edit(box, text), commitPcPath(), files(files), choosePort(index),
  // requestPort(), refreshPorts(), fetchAsUtf8(checked), download(), upload(),
  // cancel(), escape(), about(), table(file) }
  // The module is there: every control it does not hold disabled is enabled.
  ready() {
    for (const control of document.querySelectorAll('[disabled]:not(#cancel)')) control.disabled = false;
  }

  listen(gestures) {
    BOXES.forEach((id, box) => $(id).addEventListener('input', (event) => gestures.edit(box, event.target.value)));
    $('pc-file').addEventListener('change', () => gestures.commitPcPath());
    $('browse').addEventListener('change', (event) => {
      gestures.files([...event.target.files]);
      event.target.value = '';
    });
    this.port.addEventListener('focus', () => gestures.refreshPorts());
    this.port.addEventListener('change', () => {
      if (this.port.value !== 'request') {
        this.chosen = Number(this.port.value);
        gestures.choosePort(this.chosen);
        return;
      }
      this.port.value = this.chosen;  // until the browser gives a port
      gestures.requestPort();
    });
    $('utf8').addEventListener('change', (event) => gestures.fetchAsUtf8(event.target.checked));
    for (const id of ['download', 'upload', 'cancel', 'about']) $(id).addEventListener('click', () => gestures[id]());
    document.addEventListener('keydown', (event) => { if (event.key === 'Escape') gestures.escape(); });
    $('table').addEventListener('change', (event) => gestures.table(event.target.files[0]));
    const dialog = $('dialog');
    dialog.addEventListener('dragover', (event) => {
      if ($('browse').disabled) return;
      event.preventDefault();
      dialog.classList.add('dropping');
    });
    dialog.addEventListener('dragleave', () => dialog.classList.remove('dropping'));
    dialog.addEventListener('drop', (event) => {
      event.preventDefault();
      dialog.classList.remove('dropping');
      if (!$('browse').disabled) gestures.files([...event.dataTransfer.files]);
    });
  }
}
