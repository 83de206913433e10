// The open dialogs as windows of the page, which of them takes the input,
// and where the focus goes among them.

import {app} from '../connection/state.js';
import {inHostWindow} from '../host/host-window.js';
import {pageMessage} from '../questions/page-message.js';
import {DialogWindow} from './dialog-window.js';

// The dialogs as drawn: each dialog that is not a page is a window; its
// pages are drawn inside it.
export function renderDialogs(state) {
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

export function topWindow() {
  const views = [...app.windows.values()].filter((v) => v.visible);
  return views[views.length - 1] ?? null;
}

// The dialog that takes the person's input: the station disables the
// owners of a modal dialog, so this is the innermost one.
export function activeWindow() {
  const views = [...app.windows.values()].filter((v) => v.takesInput());
  return views[views.length - 1] ?? null;
}

// A dialog that the station has disabled (under a modal dialog), and every
// dialog while a question or the page's own message waits, is drawn
// inactive and takes no input.
export function arrangeModality(state) {
  for (const view of app.windows.values()) {
    const active = view.takesInput() && !state.question && !pageMessage();
    view.root.inert = !active;
    view.root.querySelector('.title-bar').classList.toggle('inactive', !active);
  }
  document.getElementById('menu-bar').inert = Boolean(state.question || pageMessage());
}

export function focusStation() {
  if (pageMessage()) return pageMessage().focusFirst();
  if (app.question) return app.question.focusFirst();
  activeWindow()?.focusStationControl();
}

export function keepFocus() {
  const message = pageMessage();
  if (message) {
    if (!message.root.contains(document.activeElement)) message.focusFirst();
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
