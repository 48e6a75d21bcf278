// The Web Serial ports one module instance has open, kept on this side
// because a cancel comes from a page event while the module waits, and the
// module may not be re-entered then. link/web_serial_port.cpp reaches this
// object as Module.serialPorts and knows each open port by a number.
//
// Promises, as every port of the program keeps them:
// - read() gives exactly the bytes asked for, or says timedOut after
//   `silence` ms without a byte (the bound restarts with each chunk), or
//   cancelled, or failed when the line ended or broke. One reader serves the
//   whole session; a time-out leaves the read in flight for the next call,
//   so no byte is lost to it.
// - write() hands every byte to the port's stream at once, or says failed
//   (an earlier write failed) or cancelled.
// - cancel() ends the read or write in flight and every later one; so does
//   cancelAll(), for the run, including ports opened after it.
// - hangUp(port) ends that port's line, as a pulled cable does: its reads
//   fail once drained.
// - interrupt() makes the read in flight, or the next one that would wait,
//   say INTERRUPTED, losing no byte: the module then calls onInterrupt(),
//   where the page gives it the work it queued, and reads on.
// - close() cancels the reader, releases both locks and closes the port:
//   each step runs even when one before it failed.

export const OK = 0;
export const FAILED = 1;
export const TIMED_OUT = 2;
export const CANCELLED = 3;
export const INTERRUPTED = 4;
const NO_SUCH_PORT = -1;
const PORT_IN_USE = -2;
const OPEN_FAILED = -3;

export const LINE_SETTINGS = Object.freeze({
  baudRate: 115200, dataBits: 8, stopBits: 1, parity: 'none', flowControl: 'none',
});

// Bytes read ahead of what was asked for, in arrival order.
class ReadAhead {
  constructor() { this.chunks = []; this.size = 0; }

  add(chunk) { if (chunk.length) { this.chunks.push(chunk); this.size += chunk.length; } }

  take(size) {
    const out = new Uint8Array(size);
    for (let at = 0; at < size;) {
      const chunk = this.chunks[0];
      const n = Math.min(chunk.length, size - at);
      out.set(chunk.subarray(0, n), at);
      at += n;
      if (n === chunk.length) this.chunks.shift(); else this.chunks[0] = chunk.subarray(n);
    }
    this.size -= size;
    return out;
  }
}

class OpenPort {
  constructor(port) {
    this.port = port;
    this.reader = port.readable.getReader();
    this.writer = port.writable.getWriter();
    this.ahead = new ReadAhead();
    this.pending = null;  // the reader's read in flight, kept across time-outs
    this.waiting = null;  // wakes the read that waits
    this.lastWrite = null;
    this.writeFailed = false;
    this.ended = false;
    this.cancelled = false;
    this.cancelledNow = new Promise((resolve) => { this.cancelNow = resolve; });
  }

  cancel() {
    this.cancelled = true;
    this.cancelNow();
    this.wake();
  }

  wake(why = {}) {
    const waiting = this.waiting;
    this.waiting = null;
    waiting?.(why);
  }

  // Keeps one read of the reader in flight; what it brings lands in `ahead`
  // as soon as it comes, so a read that follows finds it without waiting.
  readAhead() {
    this.pending ??= this.reader.read().then((got) => this.absorb(got), () => this.absorb({ done: true }));
  }

  absorb(got) {
    this.pending = null;
    if (got.done) this.ended = true; else this.ahead.add(got.value);
    this.wake();
  }

  // Waits for a chunk, a cancel or an interrupt, or for `silence` ms
  // without one ({ late: true }; negative: no bound). One timer serves every
  // wait, each moving the deadline.
  wait(silence) {
    this.readAhead();
    this.deadline = silence < 0 ? Infinity : performance.now() + silence;
    if (!(this.alarmAt <= this.deadline) && silence >= 0) this.setAlarm(silence);  // none yet, or too late
    return new Promise((resolve) => { this.waiting = resolve; });
  }

  setAlarm(ms) {
    clearTimeout(this.timer);
    this.alarmAt = performance.now() + ms;
    this.timer = setTimeout(() => {
      const left = this.deadline - performance.now();
      this.alarmAt = undefined;
      if (left === Infinity) return;
      if (left > 0) this.setAlarm(left); else this.wake({ late: true });
    }, ms);
  }

  // Serves `size` bytes read ahead, and reads on meanwhile.
  serve(size) {
    const bytes = this.ahead.take(size);
    if (!this.ended) this.readAhead();
    return bytes;
  }
}

// Runs every step, whatever the one before did.
async function release(open) {
  clearTimeout(open.timer);
  const steps = [() => !open.cancelled && Promise.race([open.lastWrite, open.cancelledNow]), () => open.reader.cancel(), () => open.reader.releaseLock(),
    () => open.writer.releaseLock(), () => open.port.close()];
  for (const step of steps) {
    try { await step(); } catch { /* the next step still runs */ }
  }
}

export class SerialPorts {
  // lookup(name): the Web Serial port (or a stand-in with its API) the page
  // gave that name, or undefined.
  constructor(lookup) {
    this.lookup = lookup;
    this.byHandle = new Map();
    this.nextHandle = 1;
    this.runCancelled = false;
    this.onInterrupt = () => {};
    this.interrupted = false;
  }

  interrupt() {
    this.interrupted = true;
    for (const open of this.byHandle.values()) open.wake();
  }

  // A new run: cancelAll() of an earlier one no longer applies.
  beginRun() { this.runCancelled = false; }

  cancelAll() {
    this.runCancelled = true;
    for (const open of this.byHandle.values()) open.cancel();
  }

  // The cable pulled out: that port's reads end once drained, as a hang-up's
  // do, so the run fails and says why instead of reading as cancelled.
  hangUp(port) {
    for (const open of this.byHandle.values()) {
      if (open.port !== port) continue;
      open.ended = true;
      open.wake();
    }
  }

  async openPort(name) {
    const port = this.lookup(name);
    if (!port) return NO_SUCH_PORT;
    try {
      await port.open(LINE_SETTINGS);
    } catch (error) {
      return error?.name === 'InvalidStateError' ? PORT_IN_USE : OPEN_FAILED;
    }
    let open;
    try {
      open = new OpenPort(port);
    } catch {
      try { await port.close(); } catch { /* already unusable */ }
      return OPEN_FAILED;
    }
    if (this.runCancelled) open.cancel();
    const handle = this.nextHandle++;
    this.byHandle.set(handle, open);
    return handle;
  }

  take(handle, size) {
    const open = this.byHandle.get(handle);
    return !open.cancelled && open.ahead.size >= size ? open.serve(size) : null;
  }

  async read(handle, size, silence) {
    const open = this.byHandle.get(handle);
    for (;;) {
      if (open.cancelled) return { status: CANCELLED };
      if (open.ahead.size >= size) return { status: OK, bytes: open.serve(size) };
      if (open.ended || open.writeFailed) return { status: FAILED };
      if (this.interrupted) {
        this.interrupted = false;
        return { status: INTERRUPTED };
      }
      if ((await open.wait(silence)).late) return { status: TIMED_OUT };
    }
  }

  // Hands the bytes to the port's stream without waiting: a write that
  // fails shows as the failure of the next read or write, and close() waits
  // for the last one. The line's order is the stream's.
  write(handle, bytes) {
    const open = this.byHandle.get(handle);
    if (open.cancelled) return CANCELLED;
    if (open.writeFailed) return FAILED;
    open.lastWrite = open.writer.write(bytes).catch(() => { open.writeFailed = true; });
    return OK;
  }

  cancel(handle) { this.byHandle.get(handle)?.cancel(); }

  async close(handle) {
    const open = this.byHandle.get(handle);
    this.byHandle.delete(handle);
    if (open) await release(open);
  }

  // The tab is going away: nothing can be awaited, but every step is begun.
  closeAll() {
    for (const handle of [...this.byHandle.keys()]) this.close(handle);
  }
}
