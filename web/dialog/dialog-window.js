// One dialog window with its pages.

import {dragBy, element, setRect} from '../common/dom.js';
import {plainCaption} from '../common/text.js';
import {send} from '../connection/queue.js';
import {app} from '../connection/state.js';
import {drawnRect} from '../controls/kind.js';
import {Surface, noOffset, viewOf} from './surface.js';

function fontSizePx(font) {
  return font?.size ? Math.round((font.size * 4) / 3) : 11;
}

export class DialogWindow {
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
    this.pageStates = [];    // the pages' states last drawn
    this.tabs = null;
    this.panel = null;
    this.root.addEventListener('animationend', () => this.root.classList.remove('beep'));
    dragBy(titleBar, this.root);
  }

  update(d, pages, parent) {
    // Neither the dialog nor its pages changed since they were drawn.
    const drawn = this.pageStates;
    if (d === this.dialog && pages.length === drawn.length && pages.every((p, i) => p === drawn[i]))
      return;
    this.pageStates = pages;
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
    // Where the pages grew, the dialog's own buttons moved.
    const offsets = layout?.offsets ?? '';
    this.surface.update(d, {all: offsets !== this.offsets});
    this.offsets = offsets;
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
      offsets: `${pageRight} ${dx} ${dy}`,
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
