// The browser page of `vx70 serve`.  It draws the station's main window and
// its open dialogs from the server's state, and sends what the person does
// as commands of the script language, one at a time and in the order they
// were done, so that the module sees the same messages as from a person at
// a Windows desk.  The state comes over a stream, whole and then as
// patches, and only what changed is drawn again, in place: fields the
// person is still typing into keep their text.  Keystrokes go to the
// station as they are pressed: its dialog manager decides what Enter,
// Escape, Tab, the arrows and the access keys do.
//
// The page is a set of ES modules with no build step: connection/ (the
// server, the state stream, the command queue, drawing a state), main/
// (main window, menu, status bar), dialog/ (dialog windows and their
// pages), controls/ (one view a control kind), questions/ (message boxes
// and choosers), host/ (the host's own windows) and keyboard/.

import {drawAnswer, drawLost, drawPatch, drawWhole} from './connection/draw.js';
import {onAnswer} from './connection/queue.js';
import {followStation} from './connection/stream.js';
import {listenToKeys} from './keyboard/keystrokes.js';

listenToKeys();
onAnswer(drawAnswer);
followStation({state: drawWhole, patch: drawPatch, lost: drawLost});
