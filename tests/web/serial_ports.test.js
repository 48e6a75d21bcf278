// The page's port backend over a fake Web Serial pair: exact reads, time-outs
// that lose no byte, cancel, hang-up, and the port released on every path.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { SerialPorts, OK, FAILED, TIMED_OUT, CANCELLED } from '../../web/serial_ports.js';
import { makeLinePair } from '../../web/virtual_line.js';

const bytes = (...values) => Uint8Array.from(values);

// The page's ports with one line whose far end the case drives.
async function line() {
  const [near, far] = makeLinePair();
  const ports = new SerialPorts((name) => (name === 'near' ? near : undefined));
  const handle = await ports.openPort('near');
  await far.open();
  const writer = far.writable.getWriter();
  const reader = far.readable.getReader();
  return { ports, handle, near, far, send: (...v) => writer.write(bytes(...v)), reader, writer };
}

const cases = [
  ['bytes in one chunk serve two reads', async ({ ports, handle, send }) => {
    await send(1, 2, 3);
    assert.deepEqual(await ports.read(handle, 2, 50), { status: OK, bytes: bytes(1, 2) });
    assert.deepEqual(ports.take(handle, 1), bytes(3));
    assert.equal(ports.take(handle, 1), null);
  }],
  ['a read waits for every byte, across chunks', async ({ ports, handle, send }) => {
    const read = ports.read(handle, 3, 1000);
    await send(1);
    await send(2, 3);
    assert.deepEqual(await read, { status: OK, bytes: bytes(1, 2, 3) });
  }],
  ['a time-out loses no byte that comes later, and a long bound delays no short one', async ({ ports, handle, send }) => {
    await send(6);
    assert.deepEqual(await ports.read(handle, 1, 60000), { status: OK, bytes: bytes(6) });
    assert.deepEqual(await ports.read(handle, 1, 20), { status: TIMED_OUT });
    assert.deepEqual(await ports.read(handle, 1, 20), { status: TIMED_OUT });
    await send(7);
    assert.deepEqual(await ports.read(handle, 1, 20), { status: OK, bytes: bytes(7) });
  }],
  ['cancel ends the read in flight and every later one', async ({ ports, handle, send }) => {
    await send(1, 2);
    await ports.read(handle, 1, -1);
    const read = ports.read(handle, 2, -1);
    ports.cancelAll();
    assert.deepEqual(await read, { status: CANCELLED });
    assert.equal(ports.take(handle, 1), null, 'a byte read ahead is not served');
    assert.deepEqual(await ports.read(handle, 1, -1), { status: CANCELLED });
    assert.equal(ports.write(handle, bytes(1)), CANCELLED);
  }],
  ['a port opened after the run was cancelled starts cancelled', async (opened) => {
    opened.ports.cancelAll();
    await opened.ports.close(opened.handle);
    opened.handle = await opened.ports.openPort('near');
    assert.equal(opened.ports.write(opened.handle, bytes(1)), CANCELLED);
  }],
  ['the far end hanging up fails reads once drained, and writes', async ({ ports, handle, send, far, reader, writer }) => {
    await send(9);
    reader.releaseLock();
    writer.releaseLock();
    await far.close();
    assert.deepEqual(await ports.read(handle, 1, -1), { status: OK, bytes: bytes(9) });
    assert.deepEqual(await ports.read(handle, 1, -1), { status: FAILED });
    ports.write(handle, bytes(1));  // its failure shows on the next use
    await new Promise((tick) => setTimeout(tick));
    assert.equal(ports.write(handle, bytes(1)), FAILED);
  }],
  ['writes arrive whole, in order', async ({ ports, handle, reader }) => {
    assert.equal(ports.write(handle, bytes(1, 2)), OK);
    assert.equal(ports.write(handle, bytes(3)), OK);
    let got = [];
    while (got.length < 3) got = [...got, ...(await reader.read()).value];
    assert.deepEqual(got, [1, 2, 3]);
  }],
  ['no such port, and a port already open', async ({ ports }) => {
    assert.equal(await ports.openPort('elsewhere'), -1);
    assert.equal(await ports.openPort('near'), -2);
  }],
];

for (const [name, run] of cases) {
  test(name, { timeout: 5000 }, async () => {
    const opened = await line();
    await run(opened);
    // Released on every path: the close succeeds only with both locks gone.
    await opened.ports.close(opened.handle);
    assert.equal(opened.near.closed, opened.near.opened, 'the port was closed');
    assert.equal(opened.near.readable, null);
  });
}
