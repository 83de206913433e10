// The controls of a dialog or page, each drawn by the view of its kind.

import {CheckButton} from '../controls/check-button.js';
import {ComboBox} from '../controls/combo.js';
import {EditField} from '../controls/edit.js';
import {GridCombo} from '../controls/grid-combo.js';
import {Grid} from '../controls/grid.js';
import {kindOf, signatureOf} from '../controls/kind.js';
import {LookupField} from '../controls/lookup.js';
import {PushButton} from '../controls/push-button.js';
import {Box, GroupBox, StaticText} from '../controls/static.js';

export const noOffset = () => [0, 0];

const viewsByNode = new WeakMap();

export function viewOf(node) {
  for (let n = node; n; n = n.parentElement) {
    const view = viewsByNode.get(n);
    if (view) return view;
  }
  return null;
}

// The controls of one dialog or page, drawn in place as the state changes.
export class Surface {
  constructor(window, node) {
    this.window = window;
    this.node = node;
    this.views = [];
    this.dialogId = 0;
    this.offsetOf = noOffset;
  }

  // Each control whose description changed since its view drew it (`all`:
  // every control) updates its view, or gets a new one when its kind changed.
  update(d, {all = false} = {}) {
    this.dialogId = d.dialog;
    const controls = d.controls ?? [];
    controls.forEach((c, index) => {
      let view = this.views[index];
      if (view?.control === c && !all) return;
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
