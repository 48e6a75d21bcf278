// Two stand-ins for Web Serial ports, joined back to back in memory: what one
// end writes, the other reads. They carry the page's port to the in-page
// virtual handheld, and keep Web Serial's rules that a careless user of the
// API would break: open() twice fails, one reader and one writer at a time,
// close() fails while either holds its lock, and closing one end hangs the
// line up (the other's reads end once drained, its writes fail), as a pulled
// cable does. Bytes pass straight to a waiting read, without the streams'
// machinery: a read takes everything written since the last one. Both ends
// share the page's thread, so a transfer through the line would hold it to
// the end: once a frame's time has gone by, a read is woken from a task of
// its own, and the page draws and takes clicks (取消) meanwhile.

const lost = () => new DOMException('The device has been lost.', 'NetworkError');

const FRAME_MS = 16;

// One direction: bytes written at one end, waiting for the other's reader.
class Pipe {
  constructor() {
    this.queued = [];
    this.waiting = null;  // the reader's read, while it waits
    this.ended = false;
    this.since = performance.now();  // when the page last had its turn
    this.turn = null;
  }

  push(chunk) {
    if (this.ended) throw lost();
    this.queued.push(chunk);
    if (this.waiting) this.wake();
  }

  // Everything queued, or the end once it is drained.
  result() {
    if (!this.queued.length) return { value: undefined, done: true };
    const chunks = this.queued;
    this.queued = [];
    if (chunks.length === 1) return { value: chunks[0], done: false };
    const value = new Uint8Array(chunks.reduce((size, chunk) => size + chunk.length, 0));
    chunks.reduce((at, chunk) => { value.set(chunk, at); return at + chunk.length; }, 0);
    return { value, done: false };
  }

  pull() {
    if (this.queued.length || this.ended) return Promise.resolve(this.result());
    return new Promise((resolve) => { this.waiting = resolve; });
  }

  wake() {
    if (this.turn?.due) return;  // the page's turn comes first, and answers then
    if (performance.now() - this.since < FRAME_MS) {
      this.answer();
      return;
    }
    if (!this.turn) {
      this.turn = new MessageChannel();
      this.turn.port1.onmessage = () => {
        this.turn.due = false;
        this.since = performance.now();
        this.answer();
        if (this.ended) this.turn.port1.close();
      };
      this.turn.port1.unref?.();  // node: a waiting line keeps no test alive
    }
    this.turn.due = true;
    this.turn.port2.postMessage(0);
  }

  answer() {
    if (!this.waiting || (!this.queued.length && !this.ended)) return;
    const resolve = this.waiting;
    this.waiting = null;
    resolve(this.result());
  }

  end() {
    if (this.ended) return;
    this.ended = true;
    if (this.waiting) this.wake();
    if (!this.turn?.due) this.turn?.port1.close();
  }
}

// A stream's lock: one user at a time, as getReader() and getWriter() keep it.
class Lockable {
  constructor(make) { this.locked = false; this.make = make; }
  take() {
    if (this.locked) throw new TypeError('Already locked');
    this.locked = true;
    return this.make(() => { this.locked = false; });
  }
  getReader() { return this.take(); }
  getWriter() { return this.take(); }
}

class LineEnd {
  constructor() {
    this.readable = null;
    this.writable = null;
    this.peer = null;
    this.inbox = null;  // what the far end writes, for this end to read
    this.opened = 0;    // how often open() succeeded, and close() after it
    this.closed = 0;
    this.onOpen = null;
  }

  getInfo() { return {}; }

  async open() {
    if (this.readable) throw new DOMException('The port is already open.', 'InvalidStateError');
    const inbox = new Pipe();
    this.inbox = inbox;
    this.readable = new Lockable((unlock) => ({
      read: () => inbox.pull(),
      cancel: async () => {
        inbox.queued = [];
        inbox.end();
      },
      releaseLock: unlock,
    }));
    this.writable = new Lockable((unlock) => ({
      write: async (chunk) => { this.peer.deliver(chunk); },
      releaseLock: unlock,
    }));
    this.opened += 1;
    this.onOpen?.(this);
  }

  deliver(chunk) {
    if (!this.inbox) throw lost();
    this.inbox.push(chunk);
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
    this.inbox?.end();
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
