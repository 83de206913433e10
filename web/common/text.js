// Texts as the script language takes them and as Windows captions show them.

import {element} from './dom.js';

// A text as the script language takes it: in double quotes, with C escapes.
export function quote(text) {
  let out = '"';
  for (const ch of String(text)) {
    const code = ch.codePointAt(0);
    if (ch === '"' || ch === '\\')
      out += '\\' + ch;
    else if (ch === '\n')
      out += '\\n';
    else if (ch === '\t')
      out += '\\t';
    else if (ch === '\r')
      out += '\\r';
    else if (code < 0x20 || code === 0x7f)
      out += '\\x' + code.toString(16).padStart(2, '0');
    else
      out += ch;
  }
  return out + '"';
}

// Windows captions mark their access key with "&" ("&&" is an ampersand).
export function captionNodes(text, prefix = true) {
  const nodes = [];
  let plain = '';
  const source = String(text ?? '');
  for (let i = 0; i < source.length; ++i) {
    const ch = source[i];
    if (!prefix || ch !== '&') {
      plain += ch;
    } else if (source[i + 1] === '&') {
      plain += '&';
      ++i;
    } else if (i + 1 < source.length) {
      if (plain) nodes.push(plain);
      plain = '';
      nodes.push(element('u', {}, source[++i]));
    }
  }
  if (plain) nodes.push(plain);
  return nodes;
}

export function accessKey(text) {
  const match = /(?:^|[^&])&([^&])/.exec(String(text ?? ''));
  return match ? match[1].toLowerCase() : '';
}

export function plainCaption(text) {
  return String(text ?? '').replace(/&(.)/g, '$1');
}
