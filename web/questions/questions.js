// The question the station waits on, drawn as the window that asks it.

import {app} from '../connection/state.js';
import {ColourChooser} from './colour.js';
import {EditBoxQuestion} from './editbox.js';
import {FileChooser} from './file.js';
import {AccountFinder} from './finder.js';
import {MessageBox} from './message.js';
import {pageMessage} from './page-message.js';

export function renderQuestion(state) {
  const question = state.question ?? null;
  const signature = question ? JSON.stringify(question) : '';
  if (app.question?.signature === signature) return;
  app.question?.remove();
  app.question = null;
  const layer = document.getElementById('question-layer');
  layer.hidden = !question && !pageMessage();
  if (!question) return;
  const Kind = QUESTION_WINDOWS.get(question.event) ?? MessageBox;
  app.question = new Kind(question, state);
  app.question.signature = signature;
  layer.append(app.question.root);
  app.question.place();
}

// The questions the station waits on, by their event, with the window that
// asks each: the one list of question kinds in the page.
export const QUESTION_WINDOWS = new Map([
  ['message', MessageBox],
  ['editbox', EditBoxQuestion],
  ['file', FileChooser],
  ['colour', ColourChooser],
  ['finder', AccountFinder],
]);
