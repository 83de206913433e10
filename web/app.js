// The browser page of `vx70 serve`.  It draws the station's main window and
// its open dialogs from the server's state, and sends what the person does
// as commands of the script language, one at a time and in the order they
// were done, so that the module sees the same messages as from a person at
// a Windows desk.  The state that comes back is drawn in place: fields the
// person is still typing into keep their text.  Keystrokes go to the
// station as they are pressed: its dialog manager decides what Enter,
// Escape, Tab, the arrows and the access keys do.

const WS_TABSTOP = 0x00010000;
const BS_TYPEMASK = 0x0f;
const BS_DEFPUSHBUTTON = 0x01;
const ES_CENTER = 0x0001;
const ES_RIGHT = 0x0002;
const ES_MULTILINE = 0x0004;
const ES_UPPERCASE = 0x0008;
const ES_LOWERCASE = 0x0010;
const ES_PASSWORD = 0x0020;
const ES_NUMBER = 0x2000;
const SS_TYPEMASK = 0x1f;
const SS_NOPREFIX = 0x80;
const SS_SUNKEN = 0x1000;

// What another station's change notice says changed, by its code.
const UPDATE_NOTICES = new Map([
  [274, 'Another station changed the company\'s settings; the values shown were reloaded.'],
  [275, 'Another station changed the control accounts or a code table; ' +
            'the values shown were reloaded.'],
]);

function updateNotice(updates) {
  const texts = new Set(updates.map((e) => UPDATE_NOTICES.get(eventOf(e).code) ??
                                          'Another station changed the company\'s data.'));
  return [...texts].join(' ');
}

// Events after which the main window (title, status line, access menu,
// toolbar, wallpaper) shows something new.
const MAIN_WINDOW_EVENTS = new Set([
  'title', 'info', 'program-date', 'access-menu', 'wallpaper', 'toolbar', 'ledger-colours',
  'module-access',
]);

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

// ---- Small helpers -------------------------------------------------------------

function element(tag, props = {}, ...children) {
  const node = document.createElement(tag);
  for (const [key, value] of Object.entries(props)) {
    if (key === 'class')
      node.className = value;
    else if (key === 'dataset')
      Object.assign(node.dataset, value);
    else if (key.startsWith('on'))
      node.addEventListener(key.slice(2), value);
    else if (key in node && typeof value !== 'string')
      node[key] = value;
    else
      node.setAttribute(key, value);
  }
  for (const child of children)
    if (child != null) node.append(child);
  return node;
}

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
function captionNodes(text, prefix = true) {
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

function accessKey(text) {
  const match = /(?:^|[^&])&([^&])/.exec(String(text ?? ''));
  return match ? match[1].toLowerCase() : '';
}

function plainCaption(text) {
  return String(text ?? '').replace(/&(.)/g, '$1');
}

function setRect(node, rect) {
  const [x, y, w, h] = rect ?? [0, 0, 0, 0];
  node.style.left = `${x}px`;
  node.style.top = `${y}px`;
  node.style.width = `${Math.max(w, 0)}px`;
  node.style.height = `${Math.max(h, 0)}px`;
}

// A combo box's template height includes the list that drops down.
function drawnRect(c) {
  const [x, y, w, h] = c.rect ?? [0, 0, 0, 0];
  const kind = kindOf(c);
  return kind === 'combo' || kind === 'list' ? [x, y, w, Math.min(h, 21)] : [x, y, w, h];
}

const noOffset = () => [0, 0];

function styleOf(control) {
  return Number.parseInt(control.style ?? '0', 16) || 0;
}

function fontSizePx(font) {
  return font?.size ? Math.round((font.size * 4) / 3) : 11;
}

// ---- Talking to the server -----------------------------------------------------

async function getJSON(url) {
  const response = await fetch(url, {cache: 'no-store'});
  if (!response.ok) throw new Error(`${url}: HTTP ${response.status}`);
  return response.json();
}

async function postCommand(line) {
  const response = await fetch('/api/command', {
    method: 'POST',
    headers: {'Content-Type': 'application/json'},
    body: JSON.stringify({command: line}),
  });
  try {
    return await response.json();
  } catch {
    return {ok: false, error: `The server answered HTTP ${response.status}.`, events: []};
  }
}

// ---- The page's own state ------------------------------------------------------

const app = {
  state: null,
  seq: 0,
  tail: Promise.resolve(),
  pending: 0,
  queued: 0,  // commands queued so far: tells whether one came after another
  refusals: 0,    // commands the station refused so far
  keystrokes: 0,  // keystrokes waiting for their turn (see onKeystroke)
  replaying: false,
  windows: new Map(),  // hwnd of a dialog (not a page) -> DialogWindow
  question: null,      // QuestionBox
  notice: null,        // PageMessage: the page's own message, over everything
  menu: null,          // MenuBar
  help: null,          // HelpWindow
  systemEditor: null,  // SystemEditorWindow
  contextMenu: null,   // ContextMenu
  datePicker: null,    // DatePicker
};

function markBusy() {
  document.body.toggleAttribute('data-busy', app.pending > 0);
}

// Runs tasks one after the other: a command waits for the one before it,
// so a field's text always reaches the station before the click after it.
function enqueue(task) {
  app.queued += 1;
  app.pending += 1;
  markBusy();
  const run = app.tail.then(task)
                  .catch((error) => {
                    showStatus(`The server did not answer: ${error.message ?? error}`, 'error');
                    return null;
                  })
                  .finally(() => {
                    app.pending -= 1;
                    markBusy();
                  });
  app.tail = run;
  return run;
}

// Sends a command line; `line` may be a function that builds it when its
// turn comes (null: nothing to send any more).  A command queued behind one
// that the station refuses is dropped: it was meant to follow it, as the
// click on OK follows the text typed into a field.
function send(line) {
  const refusalsBefore = app.refusals;
  return enqueue(async () => {
    if (app.refusals !== refusalsBefore) return null;
    const text = typeof line === 'function' ? line() : line;
    return text ? runCommand(text) : null;
  });
}

// `follow`: the page's focus goes where the station's went, as after a key.
async function runCommand(line, {follow = false} = {}) {
  const before = app.state;
  const answer = await postCommand(line);
  if (answer.ok) {
    clearError();
  } else {
    app.refusals += 1;
    showStatus(refusalText(line, answer.error ?? ''), 'error', answer.error);
  }
  reportEvents(answer.events ?? []);
  if (answer.state) applyState(answer.state, {follow: follow || focusMoved(before, answer)});
  return answer;
}

// After these the station's focus is where the person's should be: a
// dialog opened or closed, a page came to the front, or a question was asked.
function focusMoved(before, answer) {
  const events = answer.events ?? [];
  const movesFocus = (event) => event === 'dialog' || QUESTION_WINDOWS.has(event);
  if (events.some((e) => movesFocus(eventOf(e).event))) return true;
  if (!before) return true;
  if (Boolean(before.question) !== Boolean(answer.state.question)) return true;
  const key = (s) => s.dialogs.map((d) => `${d.hwnd}:${d.currentPage ?? ''}`).join(',');
  return key(before) !== key(answer.state);
}

function eventOf(entry) {
  return entry && typeof entry.event === 'object' && entry.event ? entry.event : entry;
}

// The dialog that another station's action kept from opening: its Init
// asked for the action, was refused and closed the dialog unseen.
function refusedDialog(entries) {
  const events = entries.map(eventOf);
  const refusal = events.find((e) => e.event === 'action' && e.action === 'refused');
  const closed = events.find((e) => e.event === 'dialog' && e.action === 'closed' && !e.shown);
  return refusal && closed ? {refusal, dialog: closed.dialog} : null;
}

function dialogTitle(id) {
  for (const group of app.state?.menu ?? [])
    for (const item of group.items ?? [])
      if (item.dialog === id) return item.title;
  return '';
}

function whoHolds(holder) {
  if (!holder?.station) return 'Another station';
  return holder.user ? `Station ${holder.station} (user ${holder.user})` : `Station ${holder.station}`;
}

function tellRefusal({refusal, dialog}) {
  const title = dialogTitle(dialog) || refusal.name || `Dialog ${dialog}`;
  showPageMessage(
      `${title} cannot be opened now: ${whoHolds(refusal.holder)} is using it. ` +
      'Try again when it has finished.');
}

function reportEvents(entries) {
  const refused = refusedDialog(entries);
  if (refused) tellRefusal(refused);
  for (const entry of entries) {
    const e = eventOf(entry);
    switch (e.event) {
      case 'update':
        showStatus(updateNotice([e]), 'notice');
        break;
      case 'engine-error':
        showStatus('This window could not be shown: the program\'s files may be damaged.', 'error',
                   e.message);
        break;
      case 'help':
        openHelp(e);
        break;
      case 'execute':
        if (isSystemEditor(e.command))
          openSystemEditor();
        else
          showStatus(`The module asked to run ${e.command}`, 'info');
        break;
      case 'report':
        openReport(e);
        break;
      case 'beep':
        activeWindow()?.flash();
        break;
      case 'chart-written':
        showStatus(
            `Chart of accounts for the time-recording link written to ${e.file} ` +
                `(${e.accounts} accounts)`,
            'info');
        break;
      default:
        break;
    }
  }
}

// `detail`: the station's own words, kept for whoever looks into it.
function showStatus(text, kind = 'info', detail = '') {
  const field = document.getElementById('status-message');
  field.textContent = text;
  field.dataset.kind = kind;
  field.dataset.detail = detail;
  field.title = text;
}

// An error stays until the next thing the person does succeeds.
function clearError() {
  if (document.getElementById('status-message').dataset.kind === 'error') showStatus('');
}

// The control a command line names (`VERB DIALOG CONTROL ...`), if shown.
function controlOfLine(line) {
  const [, dialog, id] = line.split(' ').map(Number);
  const d = (app.state?.dialogs ?? []).findLast((x) => x.dialog === dialog);
  return d?.controls?.find((c) => c.id === id) ?? null;
}

// What the station's refusal of a command means to the person.
function refusalText(line, error) {
  const character = /("[^"]*") \(U\+[0-9A-F]+\) has no place in the Windows code page/.exec(error);
  if (character) return `The character ${character[1]} cannot be stored in this company's data.`;
  if (/takes no input while dialog/.test(error)) return 'Finish with the window in front first.';
  if (/Cancel button is disabled/.test(error)) return 'This window cannot be closed just now.';
  const verb = line.split(' ', 1)[0];
  const typed = /"(?:[^"\\]|\\.)*"$/.exec(line)?.[0];
  if ((verb === 'type' || verb === 'cell') && typed) {
    const c = verb === 'type' ? controlOfLine(line) : null;
    const number = c && (c.number || kindOf(c) === 'calc');
    return number ? `This field takes a number: ${typed} is not one it can hold.` :
                    `This field cannot take ${typed}.`;
  }
  if (/is (hidden|disabled)/.test(error)) return 'That is not available just now.';
  return 'That could not be done just now.';
}

function applyState(state, {follow = false} = {}) {
  app.state = state;
  app.seq = Math.max(app.seq, state.seq ?? 0);
  document.body.dataset.seq = String(state.seq ?? 0);
  renderMain(state);
  renderDialogs(state);
  renderQuestion(state);
  arrangeModality(state);
  if (follow)
    focusStation();
  else
    keepFocus();
  document.body.dataset.ready = '1';
}

// ---- Main window ----------------------------------------------------------------

function renderMain(state) {
  const main = state.main ?? {};
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
  const menuTakesInput = main.enabled !== false && !(state.dialogs?.length || state.question);
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

// The host's menu: one drop-down per group, keyboard as in Windows (F10, or
// Alt with a title's access key, arrows, Enter, Escape).
class MenuBar {
  constructor(bar) {
    this.bar = bar;
    this.groups = [];
    this.signature = '';
    this.open = -1;
    this.enabled = true;
    document.addEventListener('mousedown', (e) => {
      if (!this.bar.contains(e.target)) this.close();
    });
    document.addEventListener('keydown', (e) => this.onGlobalKey(e), true);
  }

  update(groups, enabled, accessMenu) {
    const signature = JSON.stringify(groups);
    if (signature !== this.signature) {
      this.signature = signature;
      this.build(groups);
    }
    this.enabled = enabled;
    for (const g of this.groups) {
      g.button.setAttribute('aria-disabled', String(!enabled));
      for (const item of g.items) item.disabled = !enabled;
    }
    this.setTabStop(this.tabStop ?? 0);
    this.showAccessMenu(accessMenu);
    if (!enabled) this.close();
  }

  // The access menu itself belongs to the package's access module; the
  // group that the server marks with accessNote says whether the module
  // left it enabled.
  showAccessMenu(enabled) {
    const state = enabled ? 'enabled' : 'disabled';
    for (const g of this.groups) {
      if (!g.accessNote) continue;
      g.wrapper.dataset.accessMenu = state;
      g.accessNote.textContent = `Access menu ${state}`;
      g.button.title = `Access menu ${state}`;
    }
  }

  // One title of the bar is a tab stop while the main window takes input
  // (the one the person last used), as a Windows menu bar is one stop.
  setTabStop(index) {
    this.tabStop = index;
    this.groups.forEach((g, i) => (g.button.tabIndex = this.enabled && i === index ? 0 : -1));
  }

  // A title's access key: the first letter of one of its words that no
  // title before it took, else its first letter not taken.
  static accessKeys(groups) {
    const taken = new Set();
    return groups.map(({group}) => {
      const text = String(group);
      const starts = [...text.matchAll(/\b\w/g)].map((m) => m.index);
      const letters = [...text].map((_, i) => i);
      const at = [...starts, ...letters].find((i) => !taken.has(text[i].toLowerCase()));
      if (at === undefined) return {caption: text, key: ''};
      taken.add(text[at].toLowerCase());
      return {caption: `${text.slice(0, at)}&${text.slice(at)}`, key: text[at].toLowerCase()};
    });
  }

  build(groups) {
    this.bar.replaceChildren();
    const keys = MenuBar.accessKeys(groups);
    this.groups = groups.map((group, index) => {
      const button = element('button', {
        class: 'menu-title',
        role: 'menuitem',
        'aria-haspopup': 'true',
        'aria-expanded': 'false',
        tabindex: '-1',
        onclick: () => (this.open === index ? this.close() : this.show(index, false)),
        onmouseenter: () => {
          if (this.open >= 0 && this.open !== index) this.show(index, false);
        },
        onkeydown: (e) => this.onTitleKey(e, index),
        onfocus: () => this.setTabStop(index),
      });
      button.replaceChildren(...captionNodes(keys[index].caption));
      if (keys[index].key) button.setAttribute('aria-keyshortcuts', `Alt+${keys[index].key.toUpperCase()}`);
      const list = element('div', {class: 'menu-list window', role: 'menu', hidden: true});
      list.setAttribute('aria-label', group.group);
      const items = group.items.map((item, itemIndex) => {
        const entry = element('button', {
          class: 'menu-item',
          role: 'menuitem',
          tabindex: '-1',
          dataset: {dialog: String(item.dialog)},
          onclick: () => this.choose(item),
          onkeydown: (e) => this.onItemKey(e, index, itemIndex),
          onmouseenter: (e) => e.currentTarget.focus(),
        });
        entry.textContent = item.title;
        list.append(entry);
        return entry;
      });
      let accessNote = null;
      if (group.accessNote) {
        accessNote = element('div', {class: 'menu-note'});
        list.append(element('hr', {class: 'menu-separator'}), accessNote);
      }
      const wrapper = element('div', {class: 'menu-group'}, button, list);
      this.bar.append(wrapper);
      return {button, list, items, wrapper, accessNote, key: keys[index].key};
    });
  }

  show(index, focusItem) {
    this.close();
    const g = this.groups[index];
    if (!g || !this.enabled) return;
    this.open = index;
    g.list.hidden = false;
    g.button.setAttribute('aria-expanded', 'true');
    g.button.classList.add('open');
    (focusItem ? g.items[0] : g.button)?.focus();
  }

  close() {
    if (this.open < 0) return;
    const g = this.groups[this.open];
    this.open = -1;
    if (!g) return;
    g.list.hidden = true;
    g.button.setAttribute('aria-expanded', 'false');
    g.button.classList.remove('open');
  }

  choose(item) {
    this.close();
    if (!this.enabled) return;
    send(`open ${item.dialog}`);
  }

  // F10 goes to the bar, Alt with a title's access key opens its menu,
  // while no dialog or question holds the input.
  onGlobalKey(e) {
    if (!this.enabled || !this.groups.length || app.windows.size || app.question || app.notice)
      return;
    const letter = /^Key([A-Z])$/.exec(e.code ?? '')?.[1]?.toLowerCase();
    const group = e.altKey && !e.ctrlKey && letter ? this.groups.findIndex((g) => g.key === letter) : -1;
    if (e.key === 'F10') {
      e.preventDefault();
      this.groups[0].button.focus();
    } else if (group >= 0) {
      e.preventDefault();
      this.show(group, true);
    }
  }

  onTitleKey(e, index) {
    const count = this.groups.length;
    if (e.key === 'ArrowRight' || e.key === 'ArrowLeft') {
      e.preventDefault();
      const next = (index + (e.key === 'ArrowRight' ? 1 : count - 1)) % count;
      if (this.open >= 0)
        this.show(next, true);
      else
        this.groups[next].button.focus();
    } else if (e.key === 'ArrowDown' || e.key === 'Enter' || e.key === ' ') {
      e.preventDefault();
      this.show(index, true);
    } else if (e.key === 'Escape') {
      this.close();
      e.currentTarget.blur();
    }
  }

  onItemKey(e, index, itemIndex) {
    const items = this.groups[index].items;
    if (e.key === 'ArrowDown' || e.key === 'ArrowUp') {
      e.preventDefault();
      const step = e.key === 'ArrowDown' ? 1 : items.length - 1;
      items[(itemIndex + step) % items.length].focus();
    } else if (e.key === 'ArrowRight' || e.key === 'ArrowLeft') {
      e.preventDefault();
      const count = this.groups.length;
      this.show((index + (e.key === 'ArrowRight' ? 1 : count - 1)) % count, true);
    } else if (e.key === 'Escape') {
      e.preventDefault();
      const button = this.groups[index].button;
      this.close();
      button.focus();
    }
  }
}

// ---- Dialogs -------------------------------------------------------------------

// The dialogs as drawn: each dialog that is not a page is a window; its
// pages are drawn inside it.
function renderDialogs(state) {
  const workspace = document.getElementById('workspace');
  const seen = new Set();
  const dialogs = state.dialogs ?? [];
  const byId = new Map();
  dialogs.forEach((d, index) => {
    if (d.page) return;
    seen.add(d.hwnd);
    byId.set(d.dialog, d.hwnd);
    let view = app.windows.get(d.hwnd);
    if (!view) {
      view = new DialogWindow(d);
      app.windows.set(d.hwnd, view);
      workspace.append(view.root);
    }
    const pages = [];
    for (let i = index + 1; i < dialogs.length && dialogs[i].page; ++i)
      if (dialogs[i].container === d.dialog) pages.push(dialogs[i]);
    const parent = d.parent != null ? app.windows.get(byId.get(d.parent)) : null;
    view.update(d, pages, parent);
  });
  for (const [hwnd, view] of app.windows)
    if (!seen.has(hwnd)) {
      view.dispose();
      app.windows.delete(hwnd);
    }
  // The latest window lies on top.
  [...app.windows.values()].forEach((view, i) => (view.root.style.zIndex = String(10 + i)));
}

function topWindow() {
  const views = [...app.windows.values()].filter((v) => v.visible);
  return views[views.length - 1] ?? null;
}

// The dialog that takes the person's input: the station disables the
// owners of a modal dialog, so this is the innermost one.
function activeWindow() {
  const views = [...app.windows.values()].filter((v) => v.takesInput());
  return views[views.length - 1] ?? null;
}

// A dialog that the station has disabled (under a modal dialog), and every
// dialog while a question waits, is drawn inactive and takes no input.
function arrangeModality(state) {
  for (const view of app.windows.values()) {
    const active = view.takesInput() && !state.question && !app.notice;
    view.root.inert = !active;
    view.root.querySelector('.title-bar').classList.toggle('inactive', !active);
  }
  document.getElementById('menu-bar').inert = Boolean(state.question || app.notice);
}

function focusStation() {
  if (app.notice) return app.notice.focusFirst();
  if (app.question) return app.question.focusFirst();
  activeWindow()?.focusStationControl();
}

function keepFocus() {
  if (app.notice) {
    if (!app.notice.root.contains(document.activeElement)) app.notice.focusFirst();
    return;
  }
  if (app.question) {
    if (!app.question.root.contains(document.activeElement)) app.question.focusFirst();
    return;
  }
  const top = activeWindow();
  if (!top) return;
  const active = document.activeElement;
  if (inHostWindow(active)) return;  // the host's own windows keep the focus
  if (!active || active === document.body || !top.root.contains(active)) top.focusStationControl();
}

// ---- The keyboard ----------------------------------------------------------------

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
const TEXT_KEYS = new Set(
    ['space', 'left', 'right', 'up', 'down', 'home', 'end', 'pageup', 'pagedown', 'delete']);

const MODIFIER_KEYS = new Set(['Shift', 'Control', 'Alt', 'AltGraph', 'Meta']);

// The station's name of a keystroke, or null for one it does not take.
function stationKeyOf(k) {
  if (k.metaKey) return null;
  if (k.altKey) {
    const mark = /^(?:Key([A-Z])|Digit([0-9]))$/.exec(k.code ?? '');
    return mark && !k.ctrlKey ? `alt+${(mark[1] ?? mark[2]).toLowerCase()}` : null;
  }
  if (k.key === 'Tab') return `${k.ctrlKey ? 'ctrl+' : ''}${k.shiftKey ? 'shift+' : ''}tab`;
  return k.ctrlKey || k.shiftKey ? null : STATION_KEYS.get(k.key) ?? null;
}

// The key goes to the station when a dialog takes input and the control
// with the focus (`node`) does not keep the key for its own text.
function stationTakes(k, node) {
  const name = stationKeyOf(k);
  if (!name || app.question || app.notice || !activeWindow() || inHostWindow(node)) return false;
  return !viewOf(node)?.keepsKey(name, node);
}

// Every keystroke passes here (in the capture phase) before the controls
// see it.  A key of the station's waits for its turn in the command queue.
// While keys are on their way, every other keystroke waits its turn too and
// is then played where the station has put the focus meanwhile: Tab and
// then typing fills the next field, and ten quick presses of Down move ten
// rows.
function onKeystroke(e) {
  if (app.replaying || e.defaultPrevented || MODIFIER_KEYS.has(e.key)) return;
  if (!app.keystrokes && !stationTakes(e, e.target)) return;
  e.preventDefault();
  e.stopPropagation();
  const stroke = {
    key: e.key,
    code: e.code,
    ctrlKey: e.ctrlKey,
    shiftKey: e.shiftKey,
    altKey: e.altKey,
    metaKey: e.metaKey,
  };
  const refusalsBefore = app.refusals;
  app.keystrokes += 1;
  enqueue(async () => {
    if (!stationTakes(stroke, document.activeElement)) return replay(stroke);
    // A key meant to follow a command that the station refused is dropped.
    return app.refusals === refusalsBefore ? pressKey(stationKeyOf(stroke)) : null;
  }).finally(() => (app.keystrokes -= 1));
}

// The control the key goes to: the one with the page's focus, else the
// one with the station's.
function keyTarget() {
  const dialog = activeWindow();
  const focused = viewOf(document.activeElement);
  if (focused?.surface.window === dialog && focused.usable()) return focused;
  return dialog?.stationFocus() ?? dialog?.tabStops()[0] ?? null;
}

// What the person typed into the control reaches the station before the
// key, except before Escape: that gives the dialog up, and a text that the
// field refuses must not keep the person from leaving.
async function pressKey(name) {
  const view = keyTarget();
  if (!view) return null;
  const pending = name === 'escape' ? null : view.takePending?.();
  if (pending) {
    const answer = await runCommand(pending.line);
    pending.done?.(answer);
    if (!answer.ok) return answer;
  }
  return runCommand(`key ${view.command} ${name}`, {follow: true});
}

// What Backspace and Delete do to a text, as editing commands.
const TEXT_EDITS = new Map([['Backspace', 'delete'], ['Delete', 'forwardDelete']]);

// A keystroke that waited for its turn, played on the control that has
// the focus now.  Text fields take characters and deletions as typed;
// other controls hear the key as they would have.
function replay(k) {
  const node = document.activeElement;
  const text = node instanceof HTMLInputElement || node instanceof HTMLTextAreaElement;
  const plain = !k.ctrlKey && !k.altKey && !k.metaKey;
  if (text && plain && k.key.length === 1)
    return void document.execCommand('insertText', false, k.key);
  if (text && plain && TEXT_EDITS.has(k.key))
    return void document.execCommand(TEXT_EDITS.get(k.key));
  if (text && k.ctrlKey && k.key.toLowerCase() === 'a') return void node.select();
  app.replaying = true;
  try {
    node?.dispatchEvent(new KeyboardEvent('keydown', {...k, bubbles: true, cancelable: true}));
  } finally {
    app.replaying = false;
  }
}

document.addEventListener('keydown', onKeystroke, true);

class DialogWindow {
  constructor(d) {
    this.id = d.dialog;
    this.hwnd = d.hwnd;
    this.closing = false;
    this.placed = false;
    this.visible = true;
    this.titleText = element('div', {class: 'title-bar-text'});
    const close = element('button', {
      'aria-label': 'Close',
      tabindex: '-1',
      onclick: () => this.cancel(),
    });
    const titleBar = element(
        'div',
        {class: 'title-bar'},
        this.titleText,
        element('div', {class: 'title-bar-controls'}, close),
    );
    this.body = element('div', {class: 'window-body dialog-body'});
    this.root = element(
        'div',
        {
          class: 'window dialog',
          role: 'dialog',
          'aria-modal': 'true',
          dataset: {dialog: String(d.dialog)}
        },
        titleBar,
        this.body,
    );
    this.surface = new Surface(this, this.body);
    this.pages = new Map();  // page hwnd -> {surface, node}
    this.tabs = null;
    this.panel = null;
    this.root.addEventListener('animationend', () => this.root.classList.remove('beep'));
    dragBy(titleBar, this.root);
  }

  update(d, pages, parent) {
    this.dialog = d;
    this.visible = d.visible !== false;
    this.root.hidden = !this.visible;
    this.titleText.textContent = d.title ?? '';
    this.root.setAttribute('aria-label', plainCaption(d.title));
    this.root.style.fontSize = `${fontSizePx(d.font)}px`;
    const layout = pages.length ? this.tabLayout(d, pages) : null;
    const [width, height] = layout ? layout.size : this.clientSize(d, pages);
    this.body.style.width = `${width}px`;
    this.body.style.height = `${height}px`;
    this.surface.offsetOf = layout ? layout.offsetOf : noOffset;
    this.surface.update(d);
    this.updatePages(d, pages, layout);
    if (!this.placed && this.visible) this.place(parent);
  }

  clientSize(d, pages) {
    if (d.rect) return [d.rect[2], d.rect[3]];
    let width = 0;
    let height = 0;
    for (const c of d.controls ?? []) {
      width = Math.max(width, c.rect[0] + c.rect[2] + 10);
      height = Math.max(height, c.rect[1] + c.rect[3] + 10);
    }
    for (const p of pages) {
      const r = p.rect ?? [4, 24, 0, 0];
      width = Math.max(width, r[0] + r[2] + 4);
      height = Math.max(height, r[1] + r[3] + 40);
    }
    return [Math.max(width, 120), Math.max(height, 40)];
  }

  // A tabbed dialog: the tabs over a panel that holds the page in front.
  // The dialog's own buttons stand beside the pages or below them; where a
  // page's controls need more room than the template leaves, the dialog
  // grows and those buttons move out by as much.
  tabLayout(d, pages) {
    const [width, height] = this.clientSize(d, pages);
    const panelTop = 22;
    const pageRight = Math.max(...pages.map((p) => (p.rect ? p.rect[0] + p.rect[2] : 0)));
    let needRight = 0;
    let needBottom = 0;
    for (const p of pages) {
      const [px, py] = p.rect ?? [4, 24];
      for (const c of p.controls ?? []) {
        if (c.visible === false) continue;
        const [x, y, w, h] = drawnRect(c);
        needRight = Math.max(needRight, px + x + w + 4);
        needBottom = Math.max(needBottom, py + y + h + 4);
      }
    }
    const beside = (c) => c.rect[0] >= pageRight - 10;
    const below = (c) => !beside(c) && c.rect[1] > 30;
    let right = width - 4;
    let bottom = height - 4;
    for (const c of d.controls ?? []) {
      if (c.visible === false) continue;
      if (beside(c))
        right = Math.min(right, c.rect[0] - 6);
      else if (below(c))
        bottom = Math.min(bottom, c.rect[1] - 8);
    }
    const dx = Math.max(0, needRight - right);
    const dy = Math.max(0, needBottom - bottom);
    return {
      size: [width + dx, height + dy],
      panel: [4, panelTop, right + dx - 4, bottom + dy - panelTop],
      offsetOf: (c) => {
        if (beside(c)) return [dx, 0];
        return below(c) ? [0, dy] : [0, 0];
      },
    };
  }

  updatePages(d, pages, layout) {
    if (!pages.length) {
      this.tabs?.remove();
      this.panel?.remove();
      this.tabs = this.panel = null;
      return;
    }
    if (!this.tabs) {
      this.tabs = element('menu', {class: 'tabs', role: 'tablist'});
      this.panel = element('div', {class: 'window tab-panel', role: 'tabpanel'});
      this.body.prepend(this.tabs, this.panel);
    }
    const [panelLeft, panelTop, panelWidth] = layout.panel;
    setRect(this.panel, layout.panel);
    setRect(this.tabs, [panelLeft + 2, 2, panelWidth - 4, panelTop - 2]);
    this.updateTabs(d, pages);
    const seen = new Set();
    for (const p of pages) {
      seen.add(p.hwnd);
      let page = this.pages.get(p.hwnd);
      if (!page) {
        const node = element('div', {class: 'page', dataset: {dialog: String(p.dialog)}});
        page = {node, surface: new Surface(this, node)};
        this.pages.set(p.hwnd, page);
        this.panel.append(node);
      }
      const r = p.rect ?? [4, 24, panelWidth, layout.panel[3]];
      setRect(page.node, [r[0] - panelLeft, r[1] - panelTop, r[2], r[3]]);
      page.node.hidden = p.visible === false;
      page.node.inert = p.enabled === false;
      page.dialog = p;
      page.surface.update(p);
    }
    for (const [hwnd, page] of this.pages)
      if (!seen.has(hwnd)) {
        page.surface.dispose();
        page.node.remove();
        this.pages.delete(hwnd);
      }
  }

  // A page that its dialog hid has no tab; a disabled page has a greyed
  // tab that cannot be chosen.
  updateTabs(d, pages) {
    const current = d.currentPage ?? 0;
    this.choosable = pages.map((p) => p.hidden !== true && p.enabled !== false);
    const signature = pages.map((p) => p.title).join('\u0001');
    if (this.tabs.dataset.signature !== signature) {
      this.tabs.dataset.signature = signature;
      this.tabs.replaceChildren(
          ...pages.map(
              (p, index) => element(
                  'li',
                  {
                    role: 'tab',
                    dataset: {page: String(index)},
                    onmousedown: (e) => {
                      e.preventDefault();
                      this.choosePage(index);
                    },
                  },
                  element('a', {tabindex: '-1'}, (p.title ?? '').trim()),
                  ),
              ),
      );
    }
    [...this.tabs.children].forEach((tab, index) => {
      tab.setAttribute('aria-selected', String(index === current));
      tab.hidden = pages[index].hidden === true;
      tab.setAttribute('aria-disabled', String(pages[index].enabled === false));
    });
  }

  choosePage(index) {
    const d = this.dialog;
    if (!d.pages?.length || index === (d.currentPage ?? 0)) return;
    if (this.choosable?.[index] === false) return;
    const view = viewOf(document.activeElement);
    view?.commit?.();
    send(`page ${d.dialog} ${index}`);
  }

  place(parent) {
    const workspace = document.getElementById('workspace');
    const width = this.root.offsetWidth;
    const height = this.root.offsetHeight;
    let left;
    let top;
    if (parent?.placed) {
      left = parent.root.offsetLeft + (parent.root.offsetWidth - width) / 2 + 12;
      top = parent.root.offsetTop + (parent.root.offsetHeight - height) / 2 + 12;
    } else {
      left = (workspace.clientWidth - width) / 2;
      top = Math.min((workspace.clientHeight - height) / 2, 60);
    }
    this.root.style.left = `${Math.max(Math.round(left), 0)}px`;
    this.root.style.top = `${Math.max(Math.round(top), 0)}px`;
    this.placed = true;
  }

  dispose() {
    for (const s of this.surfaces()) s.dispose();
    for (const page of this.pages.values()) page.surface.dispose();
    this.root.remove();
  }

  // Surfaces in Tab order: the page in front, then the dialog's own buttons.
  surfaces() {
    const list = [];
    for (const page of this.pages.values())
      if (!page.node.hidden) list.push(page.surface);
    list.push(this.surface);
    return list;
  }

  views() {
    return this.surfaces().flatMap((s) => s.ordered());
  }

  tabStops() {
    return this.views().filter((v) => v.isTabStop());
  }

  takesInput() {
    return this.visible && this.dialog?.enabled !== false;
  }

  // The control that has the station's focus, or null.
  stationFocus() {
    return this.views().find((v) => v.control.focus && v.usable()) ?? null;
  }

  // A field that gets the focus shows its text selected, as a dialog's
  // focus move selects it in Windows.
  focusStationControl() {
    const focused = this.stationFocus();
    const target = focused?.canFocus() ? focused : this.tabStops()[0];
    if (target && viewOf(document.activeElement) !== target) target.focus({selectAll: true});
  }

  // A key that did nothing: the frame flashes where Windows would beep.
  flash() {
    this.root.classList.remove('beep');
    void this.root.offsetWidth;  // starts the animation again
    this.root.classList.add('beep');
  }

  // The close box: what is being typed is given up, so fields losing the
  // focus meanwhile send nothing.
  cancel() {
    this.closing = true;
    send(`close ${this.id}`).then(() => {
      this.closing = false;
    });
  }

  stillOpen() {
    return !app.state?.question && app.state?.dialogs?.some((d) => d.hwnd === this.hwnd);
  }
}

// Moves a window by its title bar.
function dragBy(handle, target) {
  handle.addEventListener('mousedown', (e) => {
    if (e.button !== 0 || e.target.closest('button')) return;
    const startX = e.clientX - target.offsetLeft;
    const startY = e.clientY - target.offsetTop;
    const move = (m) => {
      target.style.left = `${Math.max(m.clientX - startX, 0)}px`;
      target.style.top = `${Math.max(m.clientY - startY, 0)}px`;
    };
    const up = () => {
      document.removeEventListener('mousemove', move);
      document.removeEventListener('mouseup', up);
    };
    document.addEventListener('mousemove', move);
    document.addEventListener('mouseup', up);
    e.preventDefault();
  });
}

const viewsByNode = new WeakMap();

function viewOf(node) {
  for (let n = node; n; n = n.parentElement) {
    const view = viewsByNode.get(n);
    if (view) return view;
  }
  return null;
}

// The controls of one dialog or page, drawn in place as the state changes.
class Surface {
  constructor(window, node) {
    this.window = window;
    this.node = node;
    this.views = [];
    this.dialogId = 0;
    this.offsetOf = noOffset;
  }

  update(d) {
    this.dialogId = d.dialog;
    const controls = d.controls ?? [];
    controls.forEach((c, index) => {
      let view = this.views[index];
      if (!view || view.signature !== signatureOf(c)) {
        view?.dispose();
        view = createView(c, this);
        this.views[index] = view;
        viewsByNode.set(view.node, view);
        this.node.append(view.node);
      }
      view.apply(c);
    });
    for (const view of this.views.splice(controls.length)) view.dispose();
    this.labelFields();
  }

  // A field is named by the static text just before it in the template,
  // as Windows' accessibility names it.
  labelFields() {
    this.views.forEach((view, i) => {
      const before = this.views[i - 1];
      const label = before instanceof StaticText && before.node.textContent.trim() ? before : null;
      view.labelWith(label);
    });
  }

  dispose() {
    for (const view of this.views) view.dispose();
    this.views = [];
  }

  ordered() {
    return this.views;
  }
}

function signatureOf(c) {
  return `${c.id}:${c.class}:${kindOf(c)}`;
}

function kindOf(c) {
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

function createView(c, surface) {
  switch (kindOf(c)) {
    case 'push':
      return new PushButton(c, surface);
    case 'check':
    case 'radio':
      return new CheckButton(c, surface);
    case 'group':
      return new GroupBox(c, surface);
    case 'edit':
    case 'memo':
    case 'calc':
      return new EditField(c, surface);
    case 'lookup':
      return new LookupField(c, surface);
    case 'combo':
      return new ComboBox(c, surface);
    case 'list':
      return new GridCombo(c, surface);
    case 'grid':
      return new Grid(c, surface);
    case 'box':
      return new Box(c, surface);
    default:
      return new StaticText(c, surface);
  }
}

// What every control shares: its place, its visibility and enabled state,
// and how the dialog moves the focus to it.
class ControlView {
  constructor(c, surface, node, focusNode) {
    this.surface = surface;
    this.kind = kindOf(c);
    this.signature = signatureOf(c);
    this.node = node;
    this.focusNode = focusNode;
    this.control = c;
    node.classList.add('ctl', `ctl-${this.kind}`);
    node.dataset.control = String(c.id);
    if (focusNode) {
      focusNode.tabIndex = -1;
      focusNode.addEventListener('focus', () => this.node.classList.add('has-focus'));
      focusNode.addEventListener('blur', () => this.node.classList.remove('has-focus'));
    }
  }

  apply(c) {
    this.control = c;
    const [x, y, w, h] = drawnRect(c);
    const [dx, dy] = this.surface.offsetOf(c);
    setRect(this.node, [x + dx, y + dy, w, h]);
    this.node.hidden = c.visible === false;
    this.node.classList.toggle('disabled', c.enabled === false);
    this.node.classList.toggle('station-focus', Boolean(c.focus));
    this.update(c);
  }

  update() {}

  // Fields and lists take their name from a label; buttons and check
  // boxes carry their own.
  labelWith(label) {
    const target = this.labelTarget();
    if (!target) return;
    if (!label) return void target.removeAttribute('aria-labelledby');
    label.node.id ||= `ctl-label-${++uniqueId}`;
    target.setAttribute('aria-labelledby', label.node.id);
  }

  labelTarget() {
    return ['edit', 'memo', 'calc', 'lookup', 'combo', 'list', 'grid'].includes(this.kind) ?
        this.focusNode :
        null;
  }

  get command() {
    return `${this.surface.dialogId} ${this.control.id}`;
  }

  usable() {
    return this.control.visible !== false && this.control.enabled !== false && !this.node.hidden;
  }

  canFocus() {
    return Boolean(this.focusNode) && this.usable();
  }

  isTabStop() {
    return this.canFocus() && (styleOf(this.control) & WS_TABSTOP) !== 0;
  }

  focus(options = {}) {
    this.focusNode?.focus();
    if (options.selectAll) this.focusNode?.select?.();
  }

  // Whether the control keeps a key of the station's for itself (`node`:
  // the element with the focus).  Space presses only buttons.
  keepsKey(name) {
    return name === 'space';
  }

  press() {}

  dispose() {
    this.node.remove();
  }
}

class StaticText extends ControlView {
  constructor(c, surface) {
    super(c, surface, element('div'), null);
  }

  update(c) {
    const style = styleOf(c);
    const type = style & SS_TYPEMASK;
    this.node.dataset.shape = String(type);
    this.node.classList.toggle('sunken', (style & SS_SUNKEN) !== 0);
    this.node.style.textAlign = type === 1 ? 'center' : type === 2 ? 'right' : 'left';
    const framed = type >= 4 && type <= 9;
    const lines = type >= 0x10 && type <= 0x12;
    const text = framed || lines || type === 3 || type === 0x0e ? '' : c.text;
    const wanted = `${text}\u0001${style}`;
    if (this.shown !== wanted) {
      this.shown = wanted;
      this.node.replaceChildren(...captionNodes(text, (style & SS_NOPREFIX) === 0));
    }
  }
}

class Box extends ControlView {
  constructor(c, surface) {
    super(c, surface, element('div', {class: 'sunken'}), null);
  }

  update(c) {
    this.node.textContent = plainCaption(c.text);
  }
}

class GroupBox extends ControlView {
  constructor(c, surface) {
    const legend = element('legend');
    super(c, surface, element('fieldset', {}, legend), null);
    this.legend = legend;
  }

  update(c) {
    const text = String(c.text ?? '');
    this.legend.hidden = !text.trim();
    this.legend.replaceChildren(...captionNodes(text));
  }
}

class PushButton extends ControlView {
  constructor(c, surface) {
    const button = element('button', {type: 'button'});
    super(c, surface, button, button);
    button.addEventListener('click', () => this.press());
  }

  update(c) {
    this.node.disabled = c.enabled === false;
    this.node.classList.toggle('default', (styleOf(c) & BS_TYPEMASK) === BS_DEFPUSHBUTTON);
    const caption = String(c.text ?? '');
    if (this.caption !== caption) {
      this.caption = caption;
      this.node.replaceChildren(...captionNodes(caption));
    }
  }

  press() {
    if (!this.usable()) return;
    const window = this.surface.window;
    send(() => (window.stillOpen() ? `click ${this.command}` : null));
  }

  keepsKey() {
    return false;
  }
}

let uniqueId = 0;

class CheckButton extends ControlView {
  constructor(c, surface) {
    const input = element('input', {type: kindOf(c) === 'radio' ? 'radio' : 'checkbox'});
    input.id = `ctl-${++uniqueId}`;
    const label = element('label', { for: input.id
    });
    super(c, surface, element('div', {}, input, label), input);
    this.input = input;
    this.label = label;
    input.addEventListener('click', (e) => {
      // The station decides the new state; the next state shows it.
      e.preventDefault();
      this.press();
    });
  }

  update(c) {
    this.input.disabled = c.enabled === false;
    this.input.checked = Number(c.checked) === 1;
    this.input.indeterminate = Number(c.checked) === 2;
    const caption = String(c.text ?? '');
    if (this.caption !== caption) {
      this.caption = caption;
      this.label.replaceChildren(...captionNodes(caption));
    }
  }

  keepsKey() {
    return false;
  }

  press() {
    if (!this.usable()) return;
    send(`click ${this.command}`);
  }
}

function caseOf(style) {
  if (style & ES_UPPERCASE) return 'uppercase';
  return style & ES_LOWERCASE ? 'lowercase' : '';
}

function alignmentOf(style) {
  if (style & ES_RIGHT) return 'right';
  return style & ES_CENTER ? 'center' : '';
}

// An edit, a calculator edit (a number with its decimal places) or a memo.
// The text goes to the station as it is typed; the module's checks on
// losing the focus run when the person leaves the field.
class EditField extends ControlView {
  constructor(c, surface, node = null) {
    const multiline = kindOf(c) === 'memo';
    const input = multiline ?
        element('textarea', {spellcheck: false}) :
        element('input', {type: 'text', spellcheck: false, autocomplete: 'off'});
    super(c, surface, node ?? input, input);
    this.input = input;
    this.dirty = false;
    this.unanswered = 0;  // `type` commands sent or queued, not yet answered
    this.waiting = null;  // the queued `type` that later keystrokes may join
    input.addEventListener('beforeinput', () => this.forgetMaskedText());
    input.addEventListener('input', () => this.onInput());
    input.addEventListener('blur', () => {
      if (!this.surface.window.closing) this.commit();
    });
  }

  isPassword() {
    return (styleOf(this.control) & ES_PASSWORD) !== 0 && this.kind !== 'memo';
  }

  // The station shows a password as one `*` a character, so the page can
  // only keep what the person typed there itself.  The asterisks of a text
  // the person never typed here (the current password) are only a picture:
  // typing replaces them, and they are never sent.
  forgetMaskedText() {
    if (!this.masked) return;
    this.masked = false;
    this.input.value = '';
  }

  // What a password field shows: the person's own text while the station
  // still holds it (as many characters, changed by typing), else the mask.
  showPassword(c) {
    const text = c.text ?? '';
    const typed = this.input.value;
    const stillTyped = c.modified && !this.masked && typed.length === text.length;
    if (stillTyped) return;
    this.input.value = text;
    this.masked = text !== '';
  }

  update(c) {
    const style = styleOf(c);
    const input = this.input;
    input.disabled = c.enabled === false;
    input.readOnly = Boolean(c.readOnly);
    if (input.type !== 'textarea') input.type = style & ES_PASSWORD ? 'password' : 'text';
    input.style.textTransform = caseOf(style);
    input.style.textAlign = this.kind === 'calc' ? 'right' : alignmentOf(style);
    const limit = Number(c.limit ?? 0);
    if (limit > 0 && limit < 32767)
      input.maxLength = limit;
    else
      input.removeAttribute('maxlength');
    if (this.kind === 'calc') {
      input.inputMode = 'decimal';
      input.title = `${c.decimals ?? 2} decimal places`;
      input.dataset.decimals = String(c.decimals ?? 2);
    }
    if (this.dirty || this.unanswered) return;
    if (this.isPassword())
      this.showPassword(c);
    else if (input.value !== c.text)
      input.value = c.text ?? '';
  }

  onInput() {
    const input = this.input;
    const style = styleOf(this.control);
    let text = input.value;
    if (style & ES_UPPERCASE) text = text.toUpperCase();
    if (style & ES_LOWERCASE) text = text.toLowerCase();
    if (this.kind === 'calc')
      text = this.accepted(text);
    else if (style & ES_NUMBER)
      text = text.replace(/\D/g, '');
    if (text !== input.value) {
      const at = input.selectionStart;
      input.value = text;
      input.setSelectionRange?.(at, at);
    }
    this.previous = input.value;
    this.dirty = true;
    this.sendAsTyped();
  }

  // The text goes to the station as it is typed, since a dialog may check
  // a field on every change (Company Preferences enables OK by the name).
  // Keystrokes that come while a \`type\` still waits for its turn join it,
  // unless another command was queued behind it: nothing typed overtakes
  // a click.
  sendAsTyped() {
    const waiting = this.waiting;
    if (waiting && !waiting.started && waiting.ticket === app.queued) {
      waiting.text = this.input.value;
      this.dirty = false;
      return;
    }
    this.commit();
  }

  // A calculator edit takes a sign, digits and one point, as it would typed.
  accepted(text) {
    if (/^\s*[+-]?\d*(\.\d*)?\s*$/.test(text)) return text;
    return this.previous ?? this.control.text ?? '';
  }

  // The typed text not yet sent, as the command that sends it and what to
  // do with the answer; null when there is none.
  // Its text is read when its turn comes.
  takePending() {
    if (!this.dirty) return null;
    this.dirty = false;
    this.unanswered += 1;
    const entry = {text: this.input.value, started: false, ticket: 0};
    const command = this.command;
    return {
      entry,
      get line() {
        entry.started = true;
        return `type ${command} ${quote(entry.text)}`;
      },
      done: (answer) => {
        this.unanswered -= 1;
        if (answer && !answer.ok && this.input.value === entry.text) {
          // Refused: the person's text stays, to be corrected or sent again.
          this.dirty = true;
        } else if (!this.dirty && !this.unanswered) {
          this.update(this.control);
        }
      },
    };
  }

  commit() {
    const pending = this.takePending();
    if (!pending) return;
    const window = this.surface.window;
    send(() => (window.stillOpen() ? pending.line : null)).then(pending.done);
    this.waiting = pending.entry;
    this.waiting.ticket = app.queued;
  }

  // A memo takes Enter as a line break.
  keepsKey(name) {
    return TEXT_KEYS.has(name) || (name === 'enter' && this.kind === 'memo');
  }
}

// A look-up field (a code box): an edit with a button that opens the
// module's finder.
class LookupField extends EditField {
  constructor(c, surface) {
    const wrapper = element('div');
    super(c, surface, wrapper);
    const button = element('button', {
      type: 'button',
      class: 'finder-button',
      tabindex: '-1',
      'aria-label': 'Find',
      onmousedown: (e) => e.preventDefault(),
      onclick: () => this.openFinder(),
    });
    button.textContent = '…';
    this.button = button;
    wrapper.append(this.input, button);
    this.input.addEventListener('keydown', (e) => {
      if (e.key !== 'F4' || !this.control.date) return;
      e.preventDefault();
      this.openCalendar();
    });
  }

  update(c) {
    super.update(c);
    this.button.disabled = c.enabled === false;
  }

  // A date field's button offers a calendar, whose choice is typed into
  // the field; an account code box's asks the module for its finder.
  openFinder() {
    if (!this.usable()) return;
    if (this.control.date) return this.openCalendar();
    this.commit();
    send(`click ${this.command}`);
  }

  openCalendar() {
    app.datePicker?.close();
    const typed = (text) => {
      this.input.value = text;
      this.dirty = true;
      this.commit();
    };
    app.datePicker =
        new DatePicker(this.node, parseDate(this.input.value), typed, () => this.focus());
  }

  // F4 opens a date field's calendar here, not the station's finder.
  keepsKey(name, node) {
    return (name === 'f4' && this.control.date) || super.keepsKey(name, node);
  }
}

// ---- A date field's calendar ---------------------------------------------------

const MONTHS = [
  'January', 'February', 'March', 'April', 'May', 'June', 'July', 'August', 'September',
  'October', 'November', 'December',
];

// A date as the package writes it, DD/MM/YYYY; null for anything else.
function parseDate(text) {
  const match = /^\s*(\d{1,2})\/(\d{1,2})\/(\d{4})\s*$/.exec(String(text ?? ''));
  if (!match) return null;
  const [day, month, year] = match.slice(1).map(Number);
  const date = new Date(year, month - 1, day);
  return date.getMonth() === month - 1 ? date : null;
}

function formatDate(date) {
  const two = (n) => String(n).padStart(2, '0');
  return `${two(date.getDate())}/${two(date.getMonth() + 1)}/${date.getFullYear()}`;
}

function addDays(date, days) {
  return new Date(date.getFullYear(), date.getMonth(), date.getDate() + days);
}

// The same day of another month, or that month's last day.
function addMonths(date, months) {
  const last = new Date(date.getFullYear(), date.getMonth() + months + 1, 0).getDate();
  return new Date(date.getFullYear(), date.getMonth() + months, Math.min(date.getDate(), last));
}

// A month's days under the field, weeks from Monday.  The arrows move the
// day, Page Up and Page Down the month; Enter or a click chooses, Escape
// or a click elsewhere gives up.
class DatePicker {
  constructor(anchor, initial, onChoose, onClose) {
    this.day = initial ?? new Date();
    this.onChoose = onChoose;
    this.onClose = onClose;
    this.heading = element('div', {class: 'date-heading', 'aria-live': 'polite'});
    const step = (months, label, glyph) => element(
        'button',
        {type: 'button', tabindex: '-1', 'aria-label': label, onclick: () => this.show(addMonths(this.day, months))},
        glyph);
    this.grid = element('table', {class: 'date-grid', role: 'grid', tabindex: '0'});
    this.root = element(
        'div', {class: 'window date-picker', role: 'dialog', 'aria-label': 'Choose a date'},
        element('div', {class: 'date-bar'}, step(-1, 'Previous month', '<'), this.heading,
                step(1, 'Next month', '>')),
        this.grid);
    this.root.addEventListener('keydown', (e) => this.onKey(e));
    this.grid.addEventListener('mousedown', (e) => {
      const cell = e.target.closest('td[data-day]');
      if (!cell) return;
      e.preventDefault();
      this.choose(new Date(this.day.getFullYear(), this.day.getMonth(), Number(cell.dataset.day)));
    });
    this.outside = (e) => {
      if (!this.root.contains(e.target)) this.close();
    };
    document.addEventListener('mousedown', this.outside, true);
    const r = anchor.getBoundingClientRect();
    this.root.style.left = `${r.left}px`;
    this.root.style.top = `${r.bottom}px`;
    document.body.append(this.root);
    this.show(this.day);
    this.grid.focus();
  }

  show(day) {
    this.day = day;
    this.heading.textContent = `${MONTHS[day.getMonth()]} ${day.getFullYear()}`;
    const first = new Date(day.getFullYear(), day.getMonth(), 1);
    const days = new Date(day.getFullYear(), day.getMonth() + 1, 0).getDate();
    const lead = (first.getDay() + 6) % 7;
    const head = element(
        'tr', {}, ...['Mo', 'Tu', 'We', 'Th', 'Fr', 'Sa', 'Su'].map((d) => element('th', {}, d)));
    const rows = [];
    for (let start = -lead; start < days; start += 7) {
      const row = element('tr');
      for (let i = start; i < start + 7; ++i) {
        const n = i + 1;
        const inMonth = n >= 1 && n <= days;
        const cell = element('td', {role: 'gridcell'}, inMonth ? String(n) : '');
        if (inMonth) {
          cell.dataset.day = String(n);
          cell.id = `date-${n}`;
          cell.setAttribute('aria-selected', String(n === day.getDate()));
        }
        row.append(cell);
      }
      rows.push(row);
    }
    this.grid.replaceChildren(element('thead', {}, head), element('tbody', {}, ...rows));
    this.grid.setAttribute('aria-activedescendant', `date-${day.getDate()}`);
  }

  onKey(e) {
    const moves = {
      ArrowLeft: () => addDays(this.day, -1),
      ArrowRight: () => addDays(this.day, 1),
      ArrowUp: () => addDays(this.day, -7),
      ArrowDown: () => addDays(this.day, 7),
      PageUp: () => addMonths(this.day, -1),
      PageDown: () => addMonths(this.day, 1),
    };
    if (moves[e.key])
      this.show(moves[e.key]());
    else if (e.key === 'Enter')
      this.choose(this.day);
    else if (e.key === 'Escape' || e.key === 'Tab')
      this.close();
    else
      return;
    e.preventDefault();
    e.stopPropagation();
  }

  choose(day) {
    this.close();
    this.onChoose(formatDate(day));
  }

  close() {
    document.removeEventListener('mousedown', this.outside, true);
    this.root.remove();
    if (app.datePicker === this) app.datePicker = null;
    this.onClose();
  }
}

// A standard combo box as a drop-down list.
class ComboBox extends ControlView {
  constructor(c, surface) {
    const select = element('select');
    super(c, surface, select, select);
    this.select = select;
    select.addEventListener('change', () => {
      send(`select ${this.command} ${select.selectedIndex}`);
    });
  }

  update(c) {
    const items = c.items ?? [];
    const signature = JSON.stringify(items);
    if (this.items !== signature) {
      this.items = signature;
      this.select.replaceChildren(...items.map((text) => element('option', {}, text)));
    }
    this.select.disabled = c.enabled === false;
    this.select.selectedIndex = c.selection ?? -1;
  }
}

// The engine's grid-combo as a list: a field showing the chosen row with a
// drop-down grid of all the rows.
class GridCombo extends ControlView {
  constructor(c, surface) {
    const field = element('div', {class: 'gc-field', role: 'combobox', 'aria-expanded': 'false'});
    const text = element('span', {class: 'gc-text'});
    const arrow = element(
        'button', {type: 'button', class: 'gc-arrow', tabindex: '-1', 'aria-label': 'Open'});
    field.append(text);
    const node = element('div', {}, field, arrow);
    super(c, surface, node, field);
    this.field = field;
    this.text = text;
    this.arrow = arrow;
    this.dropdown = null;
    field.addEventListener('mousedown', (e) => {
      e.preventDefault();
      field.focus();
      this.toggle();
    });
    arrow.addEventListener('mousedown', (e) => {
      e.preventDefault();
      field.focus();
      this.toggle();
    });
    field.addEventListener('keydown', (e) => this.onKey(e));
    field.addEventListener('blur', () => this.closeList());
  }

  update(c) {
    const items = c.items ?? [];
    const selection = c.selection ?? -1;
    this.text.textContent =
        selection >= 0 && selection < items.length ? items[selection] : c.text ?? '';
    this.field.setAttribute('aria-disabled', String(c.enabled === false));
    this.field.setAttribute('aria-label', this.text.textContent);
    this.arrow.disabled = c.enabled === false;
    if (this.dropdown) this.fillList();
  }

  toggle(byKey = false) {
    if (!this.usable()) return;
    if (this.dropdown)
      this.closeList();
    else
      this.openList(byKey);
  }

  // Opening fetches every row and tells the module, as a click on the arrow
  // or F4 does.  The list shows the station's choice, which the arrows move.
  openList(byKey) {
    // Fixed on the page, so that the list may reach past the dialog's edge.
    const r = this.node.getBoundingClientRect();
    this.dropdown = element('div', {class: 'gc-list sunken-panel', role: 'listbox'});
    this.dropdown.style.left = `${r.left}px`;
    this.dropdown.style.top = `${r.bottom}px`;
    this.dropdown.style.minWidth = `${r.width}px`;
    document.body.append(this.dropdown);
    this.field.setAttribute('aria-expanded', 'true');
    this.fillList();
    send(byKey ? `key ${this.command} f4` : `click ${this.command}`);
  }

  dispose() {
    this.closeList();
    super.dispose();
  }

  closeList() {
    this.dropdown?.remove();
    this.dropdown = null;
    this.field.setAttribute('aria-expanded', 'false');
  }

  fillList() {
    const items = this.control.items ?? [];
    const chosen = this.control.selection ?? -1;
    const table = element('table', {class: 'interactive'});
    const body = element('tbody');
    items.forEach((text, index) => {
      const row = element('tr', {
        role: 'option',
        class: index === chosen ? 'highlighted' : '',
        'aria-selected': String(index === chosen),
        onmousedown: (e) => {
          e.preventDefault();
          this.choose(index);
        },
      });
      row.append(element('td', {}, text));
      body.append(row);
    });
    table.append(body);
    this.dropdown.replaceChildren(table);
    body.children[chosen]?.scrollIntoView({block: 'nearest'});
  }

  choose(index) {
    this.closeList();
    if (index < 0 || index === this.control.selection) return;
    send(`select ${this.command} ${index}`);
  }

  // F4 opens and closes the list drawn here; Enter and Escape close it.
  keepsKey(name) {
    const closes = this.dropdown !== null && (name === 'enter' || name === 'escape');
    return name === 'space' || name === 'f4' || closes;
  }

  onKey(e) {
    const items = this.control.items ?? [];
    if (e.key === 'F4') {
      e.preventDefault();
      this.toggle(true);
    } else if (this.dropdown && (e.key === 'Enter' || e.key === 'Escape')) {
      e.preventDefault();
      this.closeList();
    } else if (e.key.length === 1 && !e.ctrlKey && !e.altKey && items.length) {
      // A letter chooses the next row that begins with it.
      const letter = e.key.toLowerCase();
      const from = this.control.selection ?? -1;
      for (let k = 1; k <= items.length; ++k) {
        const index = (from + k) % items.length;
        if (String(items[index]).trim().toLowerCase().startsWith(letter)) {
          e.preventDefault();
          send(`select ${this.command} ${index}`);
          break;
        }
      }
    }
  }
}

// The engine's grid: columns from its layout, the current row highlighted,
// a click chooses the current row (the station's keys move it); cells of
// the columns that the person edits take typing.
class Grid extends ControlView {
  constructor(c, surface) {
    const panel = element('div', {class: 'sunken-panel', role: 'grid'});
    super(c, surface, panel, panel);
    this.table = element('table', {class: 'interactive', role: 'presentation'});
    this.rowIds = `grid-${++uniqueId}-row`;
    this.head = element('thead');
    this.body = element('tbody');
    this.colgroup = element('colgroup');
    this.table.append(this.colgroup, this.head, this.body);
    panel.append(this.table);
    this.editor = null;
    this.columnsSignature = '';
    this.rowsSignature = '';
    panel.addEventListener('keydown', (e) => this.onKey(e));
    this.body.addEventListener('mousedown', (e) => this.onMouseDown(e));
    this.body.addEventListener('dblclick', (e) => this.onDoubleClick(e));
    panel.addEventListener('contextmenu', (e) => openContextMenu(this, e));
  }

  update(c) {
    this.node.setAttribute('aria-disabled', String(c.enabled === false));
    this.node.setAttribute('aria-rowcount', String(c.rowCount ?? 0));
    const columns = c.columns ?? [];
    const shown = columns.map((col, index) => ({...col, index})).filter((col) => !col.hidden);
    this.shown = shown;
    const columnsSignature = JSON.stringify(shown);
    if (columnsSignature !== this.columnsSignature) {
      this.columnsSignature = columnsSignature;
      this.buildHead(shown);
      this.rowsSignature = '';
    }
    const rowsSignature = JSON.stringify([c.rows, c.levels, c.marked]);
    if (rowsSignature !== this.rowsSignature) {
      this.rowsSignature = rowsSignature;
      this.buildRows(c, shown);
    }
    const current = c.current?.row ?? -1;
    for (const row of this.body.children) {
      const isCurrent = Number(row.dataset.row) === current;
      row.classList.toggle('highlighted', isCurrent);
      row.setAttribute('aria-selected', String(isCurrent));
    }
    // The current row is the one a screen reader is told of.
    if (this.body.children[current])
      this.node.setAttribute('aria-activedescendant', `${this.rowIds}-${current}`);
    else
      this.node.removeAttribute('aria-activedescendant');
    if (current !== this.current) {
      this.current = current;
      this.body.children[current]?.scrollIntoView({block: 'nearest'});
    }
    this.showStationEditor(c);
  }

  // A text that the module put into the cell editor (the finder's choice)
  // shows in its cell until the editor hands it to the cell.
  showStationEditor(c) {
    if (this.stationCell) {
      this.stationCell.cell.textContent = this.stationCell.text;
      this.stationCell.cell.classList.remove('station-editor');
      this.stationCell = null;
    }
    const editor = c.editor;
    const row = c.current?.row ?? -1;
    if (!editor || row < 0 || this.editor) return;
    const cell = this.body.children[row]?.querySelector(`td[data-column="${editor.column}"]`);
    if (!cell) return;
    this.stationCell = {cell, text: cell.textContent};
    cell.textContent = editor.text ?? '';
    cell.classList.add('station-editor');
  }

  buildHead(shown) {
    const row = element('tr', {role: 'row'});
    for (const col of shown)
      row.append(element(
          'th', {class: col.type === 'text' ? '' : 'number', role: 'columnheader'}, col.heading ?? ''));
    this.head.replaceChildren(row);
  }

  buildRows(c, shown) {
    const rows = c.rows ?? [];
    const marked = new Set(c.marked ?? []);
    this.body.replaceChildren(
        ...rows.map((cells, r) => {
          const row = element('tr', {dataset: {row: String(r)}, role: 'row', id: `${this.rowIds}-${r}`});
          if (marked.has(r)) row.classList.add('marked');
          shown.forEach((col, i) => {
            const cell = element('td', {role: 'gridcell', dataset: {column: String(col.id)}});
            if (col.type !== 'text') cell.classList.add('number');
            if (col.editable) cell.classList.add('editable');
            if (i === 0 && c.levels?.[r]) cell.style.paddingLeft = `${6 + 14 * c.levels[r]}px`;
            cell.textContent = cells[col.index] ?? '';
            cell.title = cell.textContent;
            row.append(cell);
          });
          return row;
        }),
    );
    this.stationCell = null;
    this.closeEditor(false);
    this.sizeColumns(shown, rows);
  }

  // Widths in characters of the dialog font (about 6 pixels), wide enough
  // for the heading and every cell as the column formats it; the last
  // column takes what is left, and the grid scrolls when they need more.
  sizeColumns(shown, rows) {
    const widths = shown.map((col) => {
      const longest = Math.max(0, ...rows.map((cells) => String(cells[col.index] ?? '').length));
      return Math.max(col.width ?? 4, String(col.heading ?? '').length, longest) * 6 + 14;
    });
    this.colgroup.replaceChildren(...widths.map(
        (px, i) => element('col', {style: i === widths.length - 1 ? '' : `width: ${px}px`})));
    this.table.style.minWidth = `${widths.reduce((a, b) => a + b, 0)}px`;
  }

  rowOf(target) {
    const row = target.closest?.('tr');
    return row && this.body.contains(row) ? Number(row.dataset.row) : -1;
  }

  columnOf(target) {
    const cell = target.closest?.('td');
    return cell ? this.shown.find((col) => String(col.id) === cell.dataset.column) : null;
  }

  onMouseDown(e) {
    if (!this.usable() || e.target.closest('.cell-editor')) return;
    const row = this.rowOf(e.target);
    if (row < 0) return;
    const column = this.columnOf(e.target);
    this.focusNode.focus();
    if (column?.editable && row === this.current) {
      e.preventDefault();
      this.openEditor(row, column);
      return;
    }
    this.moveTo(row);
  }

  onDoubleClick(e) {
    if (!this.usable() || e.target.closest('.cell-editor')) return;
    const row = this.rowOf(e.target);
    if (row < 0) return;
    const column = this.columnOf(e.target);
    if (column?.editable)
      this.openEditor(row, column);
    else
      send(`activate ${this.command} ${row}`);
  }

  moveTo(row) {
    const count = this.control.rows?.length ?? 0;
    if (row < 0 || row >= count || row === this.current) return;
    this.closeEditor(true);
    send(`select ${this.command} ${row}`);
  }

  // F2 or typing opens the current cell's editor.
  onKey(e) {
    if (e.target !== this.focusNode) return;
    const editable = this.editableColumn();
    const row = this.current ?? -1;
    if (!editable || row < 0) return;
    if (e.key === 'F2') {
      e.preventDefault();
      this.openEditor(row, editable);
    } else if (e.key.length === 1 && !e.ctrlKey && !e.altKey && !e.metaKey) {
      e.preventDefault();
      this.openEditor(row, editable, e.key);
    }
  }

  // The cell editor keeps the keys of its text, Enter (the cell takes the
  // text), Escape (gives it up) and F4 (its finder); Up, Down and the
  // dialog's keys store the cell and go to the station.
  keepsKey(name, node) {
    if (!this.editor || node !== this.editor.input) return name === 'space';
    if (name === 'up' || name === 'down') return false;
    return TEXT_KEYS.has(name) || name === 'enter' || name === 'escape' || name === 'f4';
  }

  editableColumn() {
    const currentId = this.control.current?.column;
    return (
        this.shown?.find((col) => col.editable && col.id === currentId) ??
        this.shown?.find((col) => col.editable) ?? null);
  }

  // A cell's editor: Enter or leaving stores the text in the cell, Escape
  // gives it up, the button opens the module's finder.
  openEditor(row, column, firstKey = null) {
    this.closeEditor(true);
    const cell = this.body.children[row]?.querySelector(`td[data-column="${column.id}"]`);
    if (!cell) return;
    const input = element('input', {type: 'text', class: 'cell-input', spellcheck: false});
    input.value = firstKey ?? cell.textContent;
    const finder = element('button', {
      type: 'button',
      class: 'finder-button',
      tabindex: '-1',
      'aria-label': 'Find',
      onmousedown: (e) => e.preventDefault(),
      onclick: () => {
        const text = input.value;
        this.closeEditor(false);
        this.openFinder(row, column, text);
      },
    });
    finder.textContent = '…';
    const box = element('div', {class: 'cell-editor'}, input, finder);
    cell.append(box);
    this.editor = {row, column, input, box, original: cell.textContent};
    input.addEventListener('keydown', (e) => {
      if (e.key === 'Enter') {
        e.preventDefault();
        e.stopPropagation();
        this.closeEditor(true);
        this.focusNode.focus();
      } else if (e.key === 'Escape') {
        e.preventDefault();
        e.stopPropagation();
        this.closeEditor(false);
        this.focusNode.focus();
      } else if (e.key === 'F4') {
        e.preventDefault();
        finder.click();
      }
    });
    input.addEventListener('blur', () => {
      if (!this.surface.window.closing) this.closeEditor(true);
    });
    input.focus();
    if (firstKey)
      input.setSelectionRange(input.value.length, input.value.length);
    else
      input.select();
  }

  // The station clicks the finder button of the current cell only, so the
  // cell becomes current first, as a person's click into it would make it.
  openFinder(row, column, text) {
    const current = this.control.current ?? {};
    const original = this.control.rows?.[row]?.[column.index] ?? '';
    if (current.row !== row || current.column !== column.id || text !== original)
      send(`cell ${this.command} ${row} ${column.id} ${quote(text)}`);
    send(() => (app.state?.question ? null : `click ${this.command}`));
  }

  // Closes the cell editor; its changed text, as the command that stores
  // it, or null.
  takePending() {
    const editor = this.editor;
    if (!editor) return null;
    this.editor = null;
    editor.box.remove();
    const text = editor.input.value;
    if (text === editor.original) return null;
    return {line: `cell ${this.command} ${editor.row} ${editor.column.id} ${quote(text)}`};
  }

  closeEditor(store) {
    const pending = this.takePending();
    if (store && pending) send(pending.line);
  }

  focus() {
    this.focusNode.focus();
  }
}

// ---- Questions -----------------------------------------------------------------

function renderQuestion(state) {
  const question = state.question ?? null;
  const signature = question ? JSON.stringify(question) : '';
  if (app.question?.signature === signature) return;
  app.question?.remove();
  app.question = null;
  const layer = document.getElementById('question-layer');
  layer.hidden = !question && !app.notice;
  if (!question) return;
  const Kind = QUESTION_WINDOWS.get(question.event) ?? MessageBox;
  app.question = new Kind(question, state);
  app.question.signature = signature;
  layer.append(app.question.root);
  app.question.place();
}

// What every question window shares: a title, a body, a row of buttons,
// Enter for the default button and Escape for Cancel.
class QuestionBox {
  constructor(q, state, title) {
    this.q = q;
    this.answered = false;
    this.body = element('div', {class: 'window-body question-body'});
    this.buttons = element('div', {class: 'question-buttons'});
    this.root = element(
        'div',
        {
          class: `window question question-${q.event}`,
          role: q.event === 'message' ? 'alertdialog' : 'dialog',
          'aria-modal': 'true',
          'aria-label': title,
          dataset: {question: q.event},
        },
        element(
            'div',
            {class: 'title-bar'},
            element('div', {class: 'title-bar-text'}, title),
            element(
                'div',
                {class: 'title-bar-controls'},
                element(
                    'button',
                    {'aria-label': 'Close', tabindex: '-1', onclick: () => this.cancel()}),
                ),
            ),
        this.body,
    );
    this.root.addEventListener('keydown', (e) => this.onKey(e));
    this.state = state;
  }

  addButton(caption, action, {isDefault = false, name = ''} = {}) {
    const button = element('button', {type: 'button', onclick: action, dataset: {answer: name}});
    button.replaceChildren(...captionNodes(caption));
    if (isDefault) button.classList.add('default');
    this.buttons.append(button);
    return button;
  }

  answer(line) {
    if (this.answered) return;
    this.answered = true;
    for (const b of this.root.querySelectorAll('button')) b.disabled = true;
    // Whatever the station asks next is a new question, even when its
    // text is the same (or the answer was refused).
    this.signature = null;
    send(line);
  }

  onKey(e) {
    if (e.key === 'Escape') {
      e.preventDefault();
      this.cancel();
    } else if (e.key === 'Enter' && !(e.target instanceof HTMLButtonElement)) {
      e.preventDefault();
      this.confirm();
    } else if (e.key === 'Tab') {
      e.preventDefault();
      const stops = [...this.root.querySelectorAll('input, select, button, [tabindex="0"]')].filter(
          (n) => !n.disabled && n.tabIndex >= 0 && !n.closest('.title-bar'),
      );
      const at = stops.indexOf(document.activeElement);
      stops[(at + (e.shiftKey ? stops.length - 1 : 1) + stops.length) % stops.length]?.focus();
    }
  }

  place() {
    const owner = [...app.windows.values()].find((v) => v.id === this.q.owner) ?? topWindow();
    const width = this.root.offsetWidth;
    const height = this.root.offsetHeight;
    let left = (window.innerWidth - width) / 2;
    let top = (window.innerHeight - height) / 3;
    if (owner?.visible) {
      const r = owner.root.getBoundingClientRect();
      left = r.left + (r.width - width) / 2;
      top = r.top + (r.height - height) / 2;
    }
    this.root.style.left = `${Math.max(Math.round(left), 0)}px`;
    this.root.style.top = `${Math.max(Math.round(top), 0)}px`;
  }

  focusFirst() {
    (this.root.querySelector('.autofocus') ?? this.buttons.querySelector('button'))?.focus();
  }

  remove() {
    this.root.remove();
  }
}

const MESSAGE_ICONS = {
  1: 'error',
  2: 'warning',
  3: 'information',
  5: 'question'
};
const BUTTON_CAPTIONS = {
  ok: 'OK',
  cancel: 'Cancel',
  yes: '&Yes',
  no: '&No',
  retry: '&Retry',
  abort: '&Abort',
  ignore: '&Ignore',
};

class MessageBox extends QuestionBox {
  constructor(q, state) {
    super(q, state, q.caption ?? (state.main?.title || 'VX70'));
    const icon = MESSAGE_ICONS[q.kind] ?? q.icon ?? 'none';
    this.icon = icon === 'notice' ? 'information' : icon;
    this.root.dataset.icon = this.icon;
    this.body.append(
        element(
            'div',
            {class: 'message-row'},
            this.icon === 'none' ?
                null :
                element('div', {class: `message-icon icon-${this.icon}`, 'aria-hidden': 'true'}),
            element('p', {class: 'message-text', id: `message-${++uniqueId}`}, q.text ?? ''),
            ),
        this.buttons,
    );
    // Named by what it says, as a screen reader should read it first.
    this.root.removeAttribute('aria-label');
    this.root.setAttribute('aria-labelledby', this.body.querySelector('.message-text').id);
    const names = q.buttons?.length ? q.buttons : ['ok'];
    names.forEach((name, index) => {
      const button =
          this.addButton(BUTTON_CAPTIONS[name] ?? name, () => this.answer(`answer ${name}`), {
            isDefault: index === 0,
            name,
          });
      if (index === 0) button.classList.add('autofocus');
    });
    this.names = names;
  }

  confirm() {
    this.answer(`answer ${this.names[0]}`);
  }

  cancel() {
    // Escape answers Cancel, or OK where OK is the only way out.
    if (this.names.includes('cancel'))
      this.answer('answer cancel');
    else if (this.names.length === 1)
      this.answer(`answer ${this.names[0]}`);
  }

  onKey(e) {
    const key = e.key.toLowerCase();
    const named = this.names.find((n) => accessKey(BUTTON_CAPTIONS[n] ?? '') === key);
    if (named && !e.ctrlKey) {
      e.preventDefault();
      this.answer(`answer ${named}`);
      return;
    }
    if (e.key === 'ArrowLeft' || e.key === 'ArrowRight') {
      const buttons = [...this.buttons.children];
      const at = buttons.indexOf(document.activeElement);
      buttons[(at + (e.key === 'ArrowRight' ? 1 : buttons.length - 1)) % buttons.length]?.focus();
      return;
    }
    super.onKey(e);
  }
}

// A message of the page's own, drawn as the station's message boxes are;
// OK, Enter or Escape closes it, and nothing goes to the station.
class PageMessage extends MessageBox {
  answer() {
    closePageMessage(this);
  }
}

function showPageMessage(text) {
  app.notice?.remove();
  const q = {event: 'message', kind: 2, text, buttons: ['ok'], owner: null};
  app.notice = new PageMessage(q, app.state ?? {});
  const layer = document.getElementById('question-layer');
  layer.hidden = false;
  layer.append(app.notice.root);
  app.notice.place();
  app.notice.focusFirst();
  arrangeModality(app.state ?? {});
}

function closePageMessage(box) {
  box.remove();
  if (app.notice !== box) return;
  app.notice = null;
  document.getElementById('question-layer').hidden = !app.question;
  arrangeModality(app.state ?? {});
  focusStation();
}

// The list row that an edit box edits: the current row of its owner's
// grid, with the heading of the text it holds and the row's first cell.
function editedRow(ownerId) {
  const owner = [...app.windows.values()].find((v) => v.id === ownerId);
  const grid = owner?.views().find((v) => v instanceof Grid && (v.current ?? -1) >= 0);
  if (!grid) return null;
  const columns = grid.shown ?? [];
  const text = columns.find((c) => c.type === 'text') ?? columns[columns.length - 1];
  const first = columns[0];
  const cells = grid.control.rows?.[grid.current] ?? [];
  return {
    owner,
    node: grid.body.children[grid.current],
    prompt: text?.heading ?? '',
    row: first && first !== text ? `${first.heading} ${cells[first.index] ?? ''}`.trim() : '',
  };
}

// The edit box names what it edits (the list, the row and the column) and
// stands clear of the row, so the person sees the old text beside it.
class EditBoxQuestion extends QuestionBox {
  constructor(q, state) {
    const edited = editedRow(q.owner);
    super(q, state, edited ? `Edit ${plainCaption(edited.owner.dialog?.title)}` : 'Edit');
    this.edited = edited;
    this.input = element('input', {type: 'text', class: 'autofocus', spellcheck: false});
    this.input.id = `question-input-${++uniqueId}`;
    this.input.value = q.text ?? '';
    if (q.max) this.input.maxLength = q.max;
    const prompt = edited?.prompt ? `${edited.prompt}${edited.row ? ` (${edited.row})` : ''}:` :
                                    'New text:';
    this.body.append(
        element(
            'div', {class: 'field-row-stacked'}, element('label', {for: this.input.id}, prompt),
            this.input),
        this.buttons);
    this.addButton('OK', () => this.confirm(), {isDefault: true});
    this.addButton('Cancel', () => this.cancel());
  }

  // Below the row, or above it where the page has no room below.
  place() {
    super.place();
    const row = this.edited?.node?.getBoundingClientRect();
    if (!row) return;
    const height = this.root.offsetHeight;
    const below = row.bottom + 4;
    const top = below + height <= window.innerHeight ? below : row.top - height - 4;
    this.root.style.top = `${Math.max(Math.round(top), 0)}px`;
  }

  focusFirst() {
    this.input.focus();
    this.input.select();
  }

  confirm() {
    this.answer(`editbox ${quote(this.input.value)}`);
  }

  cancel() {
    this.answer('editbox cancel');
  }
}

function patternMatcher(patterns) {
  const parts =
      String(patterns || '*.*').split(';').map((p) => p.trim()).filter(Boolean).map((p) => {
        const body =
            p.replace(/[.+^${}()|[\]\\]/g, '\\$&').replace(/\*/g, '.*').replace(/\?/g, '.');
        // "*.*" names every file, with or without an extension, as on Windows.
        return p === '*.*' ? /^.*$/ : new RegExp(`^${body}$`, 'i');
      });
  return (name) => parts.some((re) => re.test(name));
}

class FileChooser extends QuestionBox {
  constructor(q, state) {
    super(q, state, 'Open');
    this.folder = '';
    this.files = [];
    this.filters = q.filter?.length ? q.filter : [['All Files (*.*)', '*.*']];
    this.lookIn = element('div', {class: 'file-folder'});
    this.list = element('ul', {class: 'file-list tree-view', role: 'listbox', tabindex: '0'});
    this.name = element('input', {type: 'text', class: 'autofocus', spellcheck: false});
    this.type =
        element('select', {}, ...this.filters.map(([label]) => element('option', {}, label)));
    this.type.addEventListener('change', () => this.fillList());
    this.list.addEventListener('keydown', (e) => this.onListKey(e));
    this.body.append(
        this.lookIn,
        this.list,
        element('div', {class: 'field-row'}, element('label', {}, 'File name:'), this.name),
        element('div', {class: 'field-row'}, element('label', {}, 'Files of type:'), this.type),
        this.buttons,
    );
    this.addButton('&Open', () => this.confirm(), {isDefault: true});
    this.addButton('Cancel', () => this.cancel());
    getJSON('/api/files')
        .then((answer) => {
          this.folder = answer.folder ?? '';
          this.files = answer.files ?? [];
          this.lookIn.textContent = `Look in: ${this.folder}`;
          this.fillList();
        })
        .catch(() => (this.lookIn.textContent = 'The folder could not be read.'));
  }

  fillList() {
    const matches = patternMatcher(this.filters[this.type.selectedIndex]?.[1]);
    this.list.replaceChildren(
        ...this.files.filter(matches).map(
            (name) => element(
                'li',
                {
                  role: 'option',
                  dataset: {file: name},
                  onmousedown: () => this.pick(name),
                  ondblclick: () => {
                    this.pick(name);
                    this.confirm();
                  },
                },
                name,
                ),
            ),
    );
  }

  pick(name) {
    this.name.value = name;
    for (const li of this.list.children)
      li.setAttribute('aria-selected', String(li.dataset.file === name));
  }

  onListKey(e) {
    const names = [...this.list.children].map((li) => li.dataset.file);
    if (!names.length || !['ArrowDown', 'ArrowUp'].includes(e.key)) return;
    e.preventDefault();
    const at = names.indexOf(this.name.value);
    this.pick(
        names[Math.min(Math.max(at + (e.key === 'ArrowDown' ? 1 : -1), 0), names.length - 1)]);
  }

  confirm() {
    const name = this.name.value.trim();
    if (!name) return;
    const path = name.includes('/') || !this.folder ? name : `${this.folder}/${name}`;
    this.answer(`file ${quote(path)}`);
  }

  cancel() {
    this.answer('file cancel');
  }
}

// The 48 basic colours of the Windows colour chooser.
const BASIC_COLOURS = [
  'ff8080', 'ffff80', '80ff80', '00ff80', '80ffff', '0080ff', 'ff80c0', 'ff80ff',
  'ff0000', 'ffff00', '80ff00', '00ff40', '00ffff', '0080c0', '8080c0', 'ff00ff',
  '804040', 'ff8040', '00ff00', '008080', '004080', '8080ff', '800040', 'ff0080',
  '800000', 'ff8000', '008000', '008040', '0000ff', '0000a0', '800080', '8000ff',
  '400000', '804000', '004000', '004040', '000080', '000040', '400040', '400080',
  '000000', '808000', '808040', '808080', '408080', 'c0c0c0', '400040', 'ffffff',
];

function colourToRgb(colorref) {
  const value = Number.parseInt(String(colorref ?? '0'), 16) || 0;
  const r = value & 0xff;
  const g = (value >> 8) & 0xff;
  const b = (value >> 16) & 0xff;
  return [r, g, b].map((v) => v.toString(16).padStart(2, '0')).join('');
}

function rgbToColour(rgb) {
  const [r, g, b] = [0, 2, 4].map((i) => rgb.slice(i, i + 2));
  return `0x00${b}${g}${r}`;
}

class ColourChooser extends QuestionBox {
  constructor(q, state) {
    super(q, state, 'Color');
    this.chosen = colourToRgb(q.initial);
    this.swatches = element('div', {class: 'swatches', role: 'listbox', tabindex: '0'});
    this.custom = element('input', {type: 'color'});
    this.custom.addEventListener('input', () => this.pick(this.custom.value.slice(1)));
    for (const rgb of BASIC_COLOURS)
      this.swatches.append(
          element('button', {
            type: 'button',
            class: 'swatch',
            tabindex: '-1',
            style: `background: #${rgb}`,
            dataset: {rgb},
            'aria-label': `#${rgb}`,
            onclick: () => this.pick(rgb),
            ondblclick: () => {
              this.pick(rgb);
              this.confirm();
            },
          }),
      );
    this.swatches.addEventListener('keydown', (e) => this.onSwatchKey(e));
    this.body.append(
        element('div', {}, 'Basic colors:'),
        this.swatches,
        element('div', {class: 'field-row'}, element('label', {}, 'Custom:'), this.custom),
        this.buttons,
    );
    const ok = this.addButton('OK', () => this.confirm(), {isDefault: true});
    ok.classList.add('autofocus');
    this.addButton('Cancel', () => this.cancel());
    this.pick(this.chosen);
  }

  pick(rgb) {
    this.chosen = rgb.toLowerCase();
    this.custom.value = `#${this.chosen}`;
    for (const s of this.swatches.children)
      s.classList.toggle('chosen', s.dataset.rgb === this.chosen);
  }

  onSwatchKey(e) {
    const steps = {ArrowRight: 1, ArrowLeft: -1, ArrowDown: 8, ArrowUp: -8};
    if (!(e.key in steps)) return;
    e.preventDefault();
    const at = Math.max(BASIC_COLOURS.indexOf(this.chosen), 0);
    this.pick(BASIC_COLOURS[(at + steps[e.key] + BASIC_COLOURS.length) % BASIC_COLOURS.length]);
  }

  confirm() {
    this.answer(`colour ${rgbToColour(this.chosen)}`);
  }

  cancel() {
    this.answer('colour cancel');
  }
}

// The account finder: the offered accounts, narrowed as the person types a
// part of a code or a name.
class AccountFinder extends QuestionBox {
  constructor(q, state) {
    super(q, state, q.search === 260 ? 'Find Bank Account' : 'Find Account');
    const accounts = (q.accounts ?? []).filter((a) => q.search !== 260 || a.bank !== false);
    this.accounts = accounts.map(
        (a) => ({code: String(a.code ?? '').trim(), name: String(a.name ?? '').trim()}));
    this.search = element('input', {
      type: 'search',
      class: 'autofocus finder-search',
      spellcheck: false,
      'aria-label': 'Search',
    });
    this.search.addEventListener('input', () => {
      this.chosen = 0;
      this.fill();
    });
    this.search.addEventListener('keydown', (e) => this.onListKey(e));
    this.tbody = element('tbody');
    this.tbody.addEventListener('mousedown', (e) => {
      const row = this.rowAt(e.target);
      if (row < 0) return;
      e.preventDefault();
      this.choose(row);
    });
    this.tbody.addEventListener('dblclick', (e) => {
      if (this.rowAt(e.target) >= 0) this.confirm();
    });
    const table = element(
        'table',
        {class: 'interactive'},
        element(
            'thead', {}, element('tr', {}, element('th', {}, 'Code'), element('th', {}, 'Name'))),
        this.tbody,
    );
    this.list = element('div', {class: 'sunken-panel finder-list', role: 'grid'}, table);
    this.body.append(
        element('div', {class: 'field-row'}, element('label', {}, 'Search:'), this.search),
        this.list,
        this.buttons,
    );
    this.addButton('OK', () => this.confirm(), {isDefault: true});
    this.addButton('Cancel', () => this.cancel());
    this.chosen = this.nearest(String(q.code ?? '').trim());
    this.fill();
  }

  // The account the field holds, else the first one after it in code order
  // (the last when none is), as the finder opens on it.
  nearest(code) {
    if (!code) return 0;
    const key = code.toLowerCase();
    const at = this.accounts.findIndex((a) => a.code.toLowerCase() >= key);
    return at >= 0 ? at : Math.max(this.accounts.length - 1, 0);
  }

  rowAt(target) {
    const row = target.closest?.('tr');
    return row && this.tbody.contains(row) ? [...this.tbody.children].indexOf(row) : -1;
  }

  // Moves the choice without drawing the rows again, so that the two
  // clicks of a double-click land on the same row.
  choose(index) {
    this.chosen = index;
    [...this.tbody.children].forEach((row, i) => {
      row.classList.toggle('highlighted', i === index);
      row.setAttribute('aria-selected', String(i === index));
    });
    this.tbody.children[index]?.scrollIntoView({block: 'nearest'});
  }

  matches() {
    const text = this.search.value.trim().toLowerCase();
    if (!text) return this.accounts;
    return this.accounts.filter(
        (a) => a.code.toLowerCase().includes(text) || a.name.toLowerCase().includes(text));
  }

  fill() {
    this.shown = this.matches();
    this.tbody.replaceChildren(
        ...this.shown.map(
            (a, index) => element(
                'tr', {role: 'row', dataset: {code: a.code}}, element('td', {}, a.code),
                element('td', {}, a.name)),
            ),
    );
    this.choose(this.chosen);
  }

  onListKey(e) {
    const move = {ArrowDown: 1, ArrowUp: -1, PageDown: 10, PageUp: -10}[e.key];
    if (!move || !this.shown.length) return;
    e.preventDefault();
    this.choose(Math.min(Math.max(this.chosen + move, 0), this.shown.length - 1));
  }

  focusFirst() {
    this.search.focus();
  }

  confirm() {
    const account = this.shown[this.chosen];
    if (account) this.answer(`popup ${quote(account.code)}`);
  }

  cancel() {
    this.answer('popup cancel');
  }
}

// The questions the station waits on, by their event, with the window that
// asks each: the one list of question kinds in the page.
const QUESTION_WINDOWS = new Map([
  ['message', MessageBox],
  ['editbox', EditBoxQuestion],
  ['file', FileChooser],
  ['colour', ColourChooser],
  ['finder', AccountFinder],
]);

// ---- Change notices from other stations -----------------------------------------

// Waits for the station's events; another station's change notice has
// already reloaded the records, so the page fetches the state again.
async function watchEvents() {
  let failures = 0;
  for (;;) {
    try {
      const answer = await getJSON(`/api/events?since=${app.seq}`);
      if (failures) clearError();
      failures = 0;
      const entries = answer.events ?? [];
      const updates = entries.filter((e) => eventOf(e).event === 'update');
      const unseen = entries.filter((e) => (e.seq ?? 0) > (app.state?.seq ?? 0));
      const mainChanged = unseen.some((e) => MAIN_WINDOW_EVENTS.has(eventOf(e).event));
      const restarted = (answer.seq ?? 0) < app.seq;
      app.seq = restarted ? answer.seq ?? 0 : Math.max(app.seq, answer.seq ?? 0);
      if (updates.length || restarted || mainChanged || (unseen.length && app.pending === 0)) {
        await enqueue(async () => applyState(await getJSON('/api/state')));
        if (updates.length) showStatus(updateNotice(updates), 'notice');
      }
    } catch {
      failures += 1;
      showStatus('The connection to the station was lost; trying again.', 'error');
      await new Promise((resolve) => setTimeout(resolve, Math.min(1000 * failures, 5000)));
    }
  }
}

async function start() {
  try {
    applyState(await getJSON('/api/state'), {follow: true});
  } catch (error) {
    showStatus(`The station could not be reached: ${error.message}`, 'error');
  }
  watchEvents();
}

start();

// ---- The host's own windows: report tab, help, system editor, context menus ----
//
// These belong to the host program, not to the module's dialogs: they stay
// usable while a dialog holds the input, as Windows' help and SYSEDIT are
// programs of their own.

// Keys and the focus in these windows stay theirs.
function inHostWindow(node) {
  return Boolean(node?.closest?.('.host-window, .context-menu, .date-picker'));
}

const HELP_CONTEXT = 1;
const HELP_QUIT = 2;

// A floating window of the page: title bar with a close box, dragged by it.
class HostWindow {
  constructor(kind, title, onClose) {
    this.titleText = element('div', {class: 'title-bar-text'}, title);
    const close = element('button', {'aria-label': 'Close', onclick: () => onClose()});
    const titleBar = element(
        'div', {class: 'title-bar'}, this.titleText,
        element('div', {class: 'title-bar-controls'}, close));
    this.body = element('div', {class: 'window-body'});
    this.root = element(
        'div', {class: `window host-window ${kind}`, role: 'dialog', 'aria-label': title},
        titleBar, this.body);
    this.root.addEventListener('keydown', (e) => {
      if (e.key === 'Escape') {
        e.stopPropagation();
        onClose();
      }
    });
    dragBy(titleBar, this.root);
    document.body.append(this.root);
  }

  dispose() {
    this.root.remove();
  }
}

// The report printer's PDF opens in a new tab, ready to print; a browser
// that keeps the tab from opening gets a link in the status bar instead.
function openReport(e) {
  if (!e.url) {
    showStatus(`Report ${e.layout} could not be printed: ${e.error ?? 'no document'}`, 'error');
    return;
  }
  const tab = window.open(e.url, '_blank');
  showStatus(`Report ${e.layout} printed`, 'info');
  if (!tab) {
    const field = document.getElementById('status-message');
    field.append(' ', element('a', {href: e.url, target: '_blank', class: 'report-link'}, 'Open it'));
  }
}

// Help: one window whose topic follows the module's WinHelp calls.
class HelpWindow extends HostWindow {
  constructor() {
    super('help-window', 'VX70 Help', () => closeHelp());
    this.frame = element('iframe', {class: 'help-topic', title: 'Help topic'});
    this.body.append(this.frame);
  }

  show(url) {
    this.frame.src = url;
  }
}

function helpUrl(e) {
  const context = Number(e.data);
  return e.command === HELP_CONTEXT && Number.isInteger(context) ? `/help/context/${context}`
                                                                 : '/help/index.html';
}

function openHelp(e) {
  if (e.command === HELP_QUIT) return closeHelp();
  app.help ??= new HelpWindow();
  app.help.show(helpUrl(e));
}

function closeHelp() {
  app.help?.dispose();
  app.help = null;
}

// The system editor: one tab a file; Save writes every changed file whole
// (the server replaces each at once) and closes, Cancel closes.
class SystemEditorWindow extends HostWindow {
  constructor(files) {
    super('sysedit-window', 'System Configuration Editor', () => this.close());
    this.files = files.map((f) => ({...f, original: f.text}));
    this.tabs = element('menu', {role: 'tablist', class: 'sysedit-tabs'});
    this.panel = element('div', {class: 'window sysedit-panel', role: 'tabpanel'});
    this.editor = element('textarea', {class: 'sysedit-text', spellcheck: false, wrap: 'off'});
    this.editor.addEventListener('input', () => (this.current.text = this.editor.value));
    this.panel.append(element('div', {class: 'window-body'}, this.editor));
    this.message = element('p', {class: 'sysedit-message', role: 'status'});
    const buttons = element(
        'div', {class: 'sysedit-buttons'},
        element('button', {onclick: () => this.save()}, 'Save'),
        element('button', {onclick: () => this.close()}, 'Cancel'));
    this.body.append(this.tabs, this.panel, this.message, buttons);
    this.files.forEach((file, index) => {
      const tab = element('li', {role: 'tab'}, element('a', {href: '#'}, file.name));
      tab.addEventListener('click', (ev) => {
        ev.preventDefault();
        this.choose(index);
      });
      file.tab = tab;
      this.tabs.append(tab);
    });
    this.choose(0);
  }

  choose(index) {
    this.current = this.files[index];
    this.files.forEach((f) => f.tab.setAttribute('aria-selected', String(f === this.current)));
    this.editor.value = this.current.text;
    this.editor.focus();
  }

  async save() {
    for (const file of this.files.filter((f) => f.text !== f.original)) {
      const response = await fetch('/api/sysedit', {
        method: 'POST',
        headers: {'Content-Type': 'application/json'},
        body: JSON.stringify({file: file.name, text: file.text}),
      });
      const answer = await response.json().catch(() => ({ok: false, error: `HTTP ${response.status}`}));
      if (!answer.ok) {
        this.message.textContent = answer.error ?? 'The file could not be saved.';
        return;
      }
      file.original = file.text;
    }
    this.close();
  }

  close() {
    this.dispose();
    if (app.systemEditor === this) app.systemEditor = null;
  }
}

async function openSystemEditor() {
  if (app.systemEditor) return app.systemEditor.editor.focus();
  try {
    const {files} = await getJSON('/api/sysedit');
    app.systemEditor ??= new SystemEditorWindow(files ?? []);
  } catch (error) {
    showStatus(`The system editor could not read the files: ${error.message}`, 'error');
  }
}

function isSystemEditor(command) {
  return /(^|[\\/])sysedit\.exe$/i.test(String(command ?? ''));
}

// A control's context menu: the items the station offers this user
// (`menu` in the control's state); choosing one sends it with `menu`.
class ContextMenu {
  constructor(view, items, x, y) {
    this.list = element('ul', {class: 'context-menu', role: 'menu'});
    for (const item of items) {
      const entry = element('li', {role: 'menuitem', tabindex: '-1'}, item.text);
      entry.addEventListener('click', () => this.choose(view, item));
      entry.addEventListener('keydown', (e) => {
        if (e.key === 'Enter' || e.key === ' ') {
          e.preventDefault();
          this.choose(view, item);
        }
      });
      this.list.append(entry);
    }
    this.list.addEventListener('keydown', (e) => {
      if (e.key === 'Escape') {
        e.stopPropagation();
        this.close();
        view.focus();
      }
    });
    this.list.style.left = `${x}px`;
    this.list.style.top = `${y}px`;
    this.outside = (e) => {
      if (!this.list.contains(e.target)) this.close();
    };
    document.addEventListener('mousedown', this.outside, true);
    document.body.append(this.list);
    this.list.firstChild?.focus();
  }

  choose(view, item) {
    this.close();
    send(`menu ${view.command} ${item.command}`);
  }

  close() {
    document.removeEventListener('mousedown', this.outside, true);
    this.list.remove();
    if (app.contextMenu === this) app.contextMenu = null;
  }
}

// A right click on a row makes it current first, as in a Windows list;
// Shift+F10 or the menu key (a contextmenu event of button 0) opens it at
// the current row.
function openContextMenu(grid, e) {
  const items = grid.control.menu ?? [];
  if (!items.length || !grid.usable()) return;
  e.preventDefault();
  app.contextMenu?.close();
  let x = e.clientX;
  let y = e.clientY;
  if (e.type === 'contextmenu' && e.button === 2) {
    const row = grid.rowOf(e.target);
    if (row >= 0) grid.moveTo(row);
  } else {
    const row = grid.body.children[grid.current ?? -1] ?? grid.node;
    const box = row.getBoundingClientRect();
    x = box.left + 16;
    y = box.bottom;
  }
  app.contextMenu = new ContextMenu(grid, items, x, y);
}
