// Controls that show a text or a frame and take no input.

import {element} from '../common/dom.js';
import {captionNodes, plainCaption} from '../common/text.js';
import {SS_NOPREFIX, SS_SUNKEN, SS_TYPEMASK, styleOf} from '../common/win32.js';
import {ControlView} from './view.js';

export class StaticText extends ControlView {
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

export class Box extends ControlView {
  constructor(c, surface) {
    super(c, surface, element('div', {class: 'sunken'}), null);
  }

  update(c) {
    this.node.textContent = plainCaption(c.text);
  }
}

export class GroupBox extends ControlView {
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
