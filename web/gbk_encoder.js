// INTERIM, until the core carries its own GBK table: text to GBK bytes
// through a table made once from the browser's own GBK decoder, every
// two-byte code decoded once. Null for a text with a character GBK lacks.

let table = null;

function makeTable() {
  const made = new Map();
  const decoder = new TextDecoder('gbk', { fatal: true });
  const pair = new Uint8Array(2);
  for (let lead = 0x81; lead <= 0xfe; lead += 1) {
    for (let trail = 0x40; trail <= 0xfe; trail += 1) {
      if (trail === 0x7f) continue;
      pair[0] = lead;
      pair[1] = trail;
      let text;
      try { text = decoder.decode(pair); } catch { continue; }
      if (text.length === 1 && !made.has(text)) made.set(text, (lead << 8) | trail);
    }
  }
  return made;
}

export function gbkEncode(text) {
  table ??= makeTable();
  const out = [];
  for (const character of text) {
    const code = character.codePointAt(0);
    if (code < 0x80) { out.push(code); continue; }
    const gbk = table.get(character);
    if (gbk === undefined) return null;
    out.push(gbk >> 8, gbk & 0xff);
  }
  return Uint8Array.from(out);
}
