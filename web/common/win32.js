// The Win32 styles and colours that the page reads from the station's controls.

export const WS_TABSTOP = 0x00010000;
export const BS_TYPEMASK = 0x0f;
export const BS_DEFPUSHBUTTON = 0x01;
export const ES_CENTER = 0x0001;
export const ES_RIGHT = 0x0002;
export const ES_MULTILINE = 0x0004;
export const ES_UPPERCASE = 0x0008;
export const ES_LOWERCASE = 0x0010;
export const ES_PASSWORD = 0x0020;
export const ES_NUMBER = 0x2000;
export const SS_TYPEMASK = 0x1f;
export const SS_NOPREFIX = 0x80;
export const SS_SUNKEN = 0x1000;

export function styleOf(control) {
  return Number.parseInt(control.style ?? '0', 16) || 0;
}

export function colourToRgb(colorref) {
  const value = Number.parseInt(String(colorref ?? '0'), 16) || 0;
  const r = value & 0xff;
  const g = (value >> 8) & 0xff;
  const b = (value >> 16) & 0xff;
  return [r, g, b].map((v) => v.toString(16).padStart(2, '0')).join('');
}

export function rgbToColour(rgb) {
  const [r, g, b] = [0, 2, 4].map((i) => rgb.slice(i, i + 2));
  return `0x00${b}${g}${r}`;
}
