import {nextId, setRect} from '../common/dom.js';
import {WS_TABSTOP, styleOf} from '../common/win32.js';
import {drawnRect, kindOf, signatureOf} from './kind.js';

// What every control shares: its place, its visibility and enabled state,
// and how the dialog moves the focus to it.
export class ControlView {
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
    label.node.id ||= nextId('ctl-label');
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
