// A control's kind, from its window class and style, and the place it is drawn.

import {BS_TYPEMASK, ES_MULTILINE, styleOf} from '../common/win32.js';

// A combo box's template height includes the list that drops down.
export function drawnRect(c) {
  const [x, y, w, h] = c.rect ?? [0, 0, 0, 0];
  const kind = kindOf(c);
  return kind === 'combo' || kind === 'list' ? [x, y, w, Math.min(h, 21)] : [x, y, w, h];
}

export function signatureOf(c) {
  return `${c.id}:${c.class}:${kindOf(c)}`;
}

export function kindOf(c) {
  const cls = String(c.class ?? '').toUpperCase();
  if (cls === 'BUTTON' || cls === '__03BUTTON__') {
    if (c.kind) return c.kind;
    const type = styleOf(c) & BS_TYPEMASK;
    if (type === 7) return 'group';
    if ([2, 3, 5, 6].includes(type)) return 'check';
    if ([4, 9].includes(type)) return 'radio';
    return 'push';
  }
  if (cls === 'STATIC') return 'static';
  if (cls === '__03BOX__') return 'box';
  if (cls === 'EDIT') return styleOf(c) & ES_MULTILINE ? 'memo' : 'edit';
  if (cls === '#VX32CALCEDIT') return 'calc';
  if (cls === 'COMBOBOX') return 'combo';
  if (cls === '__03COMBO__') return Array.isArray(c.items) ? 'list' : 'lookup';
  if (cls === '__03GRID__') return 'grid';
  return 'static';
}
