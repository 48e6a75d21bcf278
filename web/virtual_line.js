// Two stand-ins for Web Serial ports, joined back to back in memory: what one
// end writes, the other reads. They carry the page's port to the in-page
// virtual handheld, and keep Web Serial's rules that a careless user of the
// API would break: open() twice fails, close() fails while a reader or a
// writer holds a lock, and closing one end hangs the line up (the other's
// reads end once drained, its writes fail), as a pulled cable does.

class LineEnd {
  constructor() {
    this.readable = null;
    this.writable = null;
    this.peer = null;
    this.inbox = null;  // the controller of this end's readable stream
    this.opened = 0;    // how often open() succeeded, and close() after it
    this.closed = 0;
    this.onOpen = null;
  }

  getInfo() { return {}; }

  async open() {
    if (this.readable) throw new DOMException('The port is already open.', 'InvalidStateError');
    this.readable = new ReadableStream({ start: (controller) => { this.inbox = controller; } });
    this.writable = new WritableStream({ write: (chunk) => this.peer.deliver(chunk) });
    this.opened += 1;
    this.onOpen?.(this);
  }

  deliver(chunk) {
    if (!this.inbox) throw new DOMException('The device has been lost.', 'NetworkError');
    this.inbox.enqueue(chunk);
  }

  async close() {
    if (!this.readable) throw new DOMException('The port is already closed.', 'InvalidStateError');
    if (this.readable.locked || this.writable.locked) throw new TypeError('Cannot close a locked stream');
    this.hangUp();
    this.peer.hangUp();
    this.readable = this.writable = null;
    this.closed += 1;
  }

  hangUp() {
    try { this.inbox?.close(); } catch { /* already closed */ }
    this.inbox = null;
  }
}

export function makeLinePair() {
  const a = new LineEnd();
  const b = new LineEnd();
  a.peer = b;
  b.peer = a;
  return [a, b];
}
