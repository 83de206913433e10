// The colour chooser.

import {element} from '../common/dom.js';
import {colourToRgb, rgbToColour} from '../common/win32.js';
import {QuestionBox} from './question-box.js';

// The 48 basic colours of the Windows colour chooser.
const BASIC_COLOURS = [
  'ff8080', 'ffff80', '80ff80', '00ff80', '80ffff', '0080ff', 'ff80c0', 'ff80ff',
  'ff0000', 'ffff00', '80ff00', '00ff40', '00ffff', '0080c0', '8080c0', 'ff00ff',
  '804040', 'ff8040', '00ff00', '008080', '004080', '8080ff', '800040', 'ff0080',
  '800000', 'ff8000', '008000', '008040', '0000ff', '0000a0', '800080', '8000ff',
  '400000', '804000', '004000', '004040', '000080', '000040', '400040', '400080',
  '000000', '808000', '808040', '808080', '408080', 'c0c0c0', '400040', 'ffffff',
];

export class ColourChooser extends QuestionBox {
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
