// The keys of the station's dialog manager, as the browser names them.  The
// page sends them as they are pressed; the station decides what each does
// (presses the default button or Cancel, moves the focus, a grid's row or a
// radio button, turns a page, presses the button an access key marks).
const STATION_KEYS = new Map([
  ['Enter', 'enter'],
  ['Escape', 'escape'],
  [' ', 'space'],
  ['ArrowUp', 'up'],
  ['ArrowDown', 'down'],
  ['ArrowLeft', 'left'],
  ['ArrowRight', 'right'],
  ['Home', 'home'],
  ['End', 'end'],
  ['PageUp', 'pageup'],
  ['PageDown', 'pagedown'],
  ['Delete', 'delete'],
  ['F4', 'f4'],
]);

// Keys that move or edit within a field's text: the field keeps them, and
// its text reaches the station with `type`.
export const TEXT_KEYS = new Set(
    ['space', 'left', 'right', 'up', 'down', 'home', 'end', 'pageup', 'pagedown', 'delete']);

export const MODIFIER_KEYS = new Set(['Shift', 'Control', 'Alt', 'AltGraph', 'Meta']);

// The station's name of a keystroke, or null for one it does not take.
export function stationKeyOf(k) {
  if (k.metaKey) return null;
  if (k.altKey) {
    const mark = /^(?:Key([A-Z])|Digit([0-9]))$/.exec(k.code ?? '');
    return mark && !k.ctrlKey ? `alt+${(mark[1] ?? mark[2]).toLowerCase()}` : null;
  }
  if (k.key === 'Tab') return `${k.ctrlKey ? 'ctrl+' : ''}${k.shiftKey ? 'shift+' : ''}tab`;
  return k.ctrlKey || k.shiftKey ? null : STATION_KEYS.get(k.key) ?? null;
}
