// Check boxes and radio buttons.

import {element} from '../common/dom.js';
import {captionNodes} from '../common/text.js';
import {BS_TYPEMASK, styleOf} from '../common/win32.js';
import {send} from '../connection/queue.js';
import {kindOf} from './kind.js';
import {ControlView} from './view.js';

let uniqueId = 0;

const BS_AUTOCHECKBOX = 0x3;
const BS_AUTO3STATE = 0x6;
const BS_AUTORADIOBUTTON = 0x9;

export class CheckButton extends ControlView {
  constructor(c, surface) {
    const input = element('input', {type: kindOf(c) === 'radio' ? 'radio' : 'checkbox'});
    input.id = `ctl-${++uniqueId}`;
    const label = element('label', { for: input.id
    });
    super(c, surface, element('div', {}, input, label), input);
    this.input = input;
    this.label = label;
    input.addEventListener('click', (e) => {
      // An automatic check box or radio button shows its new state at
      // once, as its own window does before its dialog hears of the click:
      // the input's own toggle is that state.  Any other waits for the
      // station.
      if (!this.togglesItself()) e.preventDefault();
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

  // Whether the input's own toggle is the state the button gives itself
  // when clicked: an automatic check box, a three-state one leaving
  // unchecked, an automatic radio button not yet chosen.
  togglesItself() {
    if (!this.usable()) return false;
    switch (styleOf(this.control) & BS_TYPEMASK) {
      case BS_AUTOCHECKBOX:
        return true;
      case BS_AUTO3STATE:
      case BS_AUTORADIOBUTTON:
        return Number(this.control.checked) === 0;
      default:
        return false;
    }
  }

  // Once the station has answered, the button shows what the station
  // holds: the dialog may have set it back, or refused the click.
  press() {
    if (!this.usable()) return;
    send(`click ${this.command}`).then(() => this.update(this.control));
  }
}
