// The main window: title, status line, toolbar and wallpaper.

import {element} from '../common/dom.js';
import {colourToRgb} from '../common/win32.js';
import {app} from '../connection/state.js';
import {MenuBar} from './menu.js';
import {showStatus} from './status.js';

// Where the wallpaper lies in the workspace, by its position 0-8: top
// left, top centre, top right, bottom left, bottom centre, bottom right,
// tiled, full screen, centred.
const WALLPAPER_PLACES = [
  {position: 'left top'},
  {position: 'center top'},
  {position: 'right top'},
  {position: 'left bottom'},
  {position: 'center bottom'},
  {position: 'right bottom'},
  {position: 'left top', repeat: 'repeat'},
  {position: 'center', size: '100% 100%'},
  {position: 'center'},
];

// What the main window last drew from.
const drawn = {};

export function renderMain(state) {
  const main = state.main ?? {};
  const menuTakesInput = main.enabled !== false && !(state.dialogs?.length || state.question);
  if (drawn.main === state.main && drawn.station === state.station && drawn.menu === state.menu &&
      drawn.menuTakesInput === menuTakesInput)
    return;
  Object.assign(drawn, {main: state.main, station: state.station, menu: state.menu, menuTakesInput});
  const title = main.title || 'VX70';
  document.getElementById('main-title').textContent = title;
  document.title = title;
  document.getElementById('status-date').textContent =
      main.programDate ? `Program date ${main.programDate}` : '';
  document.getElementById('status-year').textContent =
      main.info ? `Financial year ${main.info}` : '';
  const station = state.station ?? {};
  document.getElementById('status-station').textContent =
      [station.station, station.user].filter(Boolean).join(' / ');
  document.body.classList.toggle('wait-cursor', main.cursor === 32514);
  if (!app.menu) app.menu = new MenuBar(document.getElementById('menu-bar'));
  app.menu.update(state.menu ?? [], menuTakesInput, Boolean(main.accessMenu));
  renderToolbar(main, menuTakesInput);
  renderWallpaper(main.wallpaper);
}

// The toolbar: a button for each ledger with its colour (none while the
// colours are ignored), greyed where the user may not open the ledger.
// The toolbar options give the buttons frames and labels and the bar its
// background.  The ledgers are other modules of the package: a click only
// says so.
function renderToolbar(main, takesInput) {
  const bar = document.getElementById('toolbar');
  const options = main.toolbar ?? {};
  const ledgers = main.ledgers ?? [];
  bar.classList.toggle('framed', Boolean(options.frames));
  bar.classList.toggle('labelled', options.labels !== false);
  bar.classList.toggle('backdrop', Boolean(options.background));
  bar.title = options.background && options.bitmap ? `Background ${options.bitmap}` : '';
  if (bar.children.length !== ledgers.length) bar.replaceChildren(...ledgers.map(ledgerButton));
  ledgers.forEach((ledger, index) => {
    const button = bar.children[index];
    const colour = main.ignoreColours ? '' : colourToRgb(ledger.colour);
    button.dataset.ledger = ledger.ledger;
    button.dataset.colour = colour;
    button.title = ledger.ledger;
    button.disabled = !ledger.enabled;
    // Tab reaches the buttons while the main window takes input.
    button.tabIndex = takesInput ? 0 : -1;
    button.querySelector('.ledger-label').textContent = ledger.ledger;
    button.querySelector('.ledger-mark').style.backgroundColor = colour ? `#${colour}` : '';
  });
}

// A ledger button never takes the focus from the field the person is in.
function ledgerButton() {
  const say = (e) =>
      showStatus(`The ${e.currentTarget.dataset.ledger} ledger is another module of the package.`);
  return element(
      'button',
      {class: 'ledger', tabindex: '-1', onclick: say, onmousedown: (e) => e.preventDefault()},
      element('span', {class: 'ledger-mark'}), element('span', {class: 'ledger-label'}));
}

// The wallpaper bitmap, which the server hands out while the station
// shows it, drawn behind the dialogs at its position.
function renderWallpaper(wallpaper) {
  const workspace = document.getElementById('workspace');
  const shown = Boolean(wallpaper?.shown && wallpaper.file);
  const key = shown ? `${wallpaper.position} ${wallpaper.file}` : '';
  if (workspace.dataset.wallpaper === key) return;
  const place = WALLPAPER_PLACES[wallpaper?.position] ?? WALLPAPER_PLACES[0];
  workspace.dataset.wallpaper = key;
  workspace.dataset.wallpaperPosition = shown ? String(wallpaper.position) : '';
  workspace.style.backgroundImage =
      shown ? `url("/api/wallpaper?file=${encodeURIComponent(wallpaper.file)}")` : '';
  workspace.style.backgroundPosition = place.position;
  workspace.style.backgroundRepeat = place.repeat ?? 'no-repeat';
  workspace.style.backgroundSize = place.size ?? 'auto';
}
