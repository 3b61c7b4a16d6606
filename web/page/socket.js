// The connection to the host, on a thread of its own: a message longer than the wire allows is
// dropped here unread (the page never decodes it), and the rest go to the page in batches, so a
// late joiner's thousands of strokes cost the page one event a batch, not one each.
// To the worker: {url}, {send}, {close}. From it: {opened}, {messages}, {closed: code}.
import { MAX_MESSAGE } from './wire.js';

let ws = null;
let batch = [];
let flushing = false;

function flush() {
  flushing = false;
  if (batch.length) postMessage({ messages: batch });
  batch = [];
}

self.onmessage = (e) => {
  const m = e.data;
  if (m.url && !ws) {
    ws = new WebSocket(m.url);
    ws.onopen = () => postMessage({ opened: true });
    ws.onmessage = (ev) => {
      if (typeof ev.data !== 'string' || ev.data.length > MAX_MESSAGE) return;
      batch.push(ev.data);
      if (!flushing) { flushing = true; setTimeout(flush, 0); }
    };
    ws.onclose = (ev) => { flush(); postMessage({ closed: ev.code }); self.close(); };
  } else if (typeof m.send === 'string') {
    if (ws && ws.readyState === WebSocket.OPEN && m.send.length <= MAX_MESSAGE) ws.send(m.send);
  } else if (m.close && ws) ws.close();
};
