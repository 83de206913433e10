/*
 * Macros for the dialog description resources (DENTRY, CENTRY, MENTRY,
 * TENTRY, GRID, GRIDBITMAP) of the vx70def resource scripts.
 *
 * Raw data blocks of a resource script emit a bare number as a 16-bit
 * little-endian word and a narrow string as its bytes without a
 * terminator, so every layout below is spelled out word by word.  The
 * resource compiler refuses bytes of 0x80 and above inside narrow strings;
 * the GRID style byte (0x80, 0x81) is therefore written together with the
 * '@' that starts the editor class as one word.
 */
#ifndef VX70DEF_RES_DESC_H
#define VX70DEF_RES_DESC_H

#include "ids_common.h"

#define VX70_MODULE VX70DEF_MODULE

/* The standard button identifiers of the Win32 headers, which the
 * resource compiler does not read. */
#define IDOK 1
#define IDCANCEL 2

/* Languages: English (United Kingdom) for everything but dialogs 3605 and
 * 3606 and GRID 1000, which are English (United States). */
#define LANG_UK LANGUAGE 0x09, 0x02
#define LANG_US LANGUAGE 0x09, 0x01

/* Window messages named in MENTRY. */
#define MSG_INITDIALOG 0x0110
#define MSG_COMMAND 0x0111

/* DENTRY flags. */
#define DE_ALONE 0x0001
#define DE_TABBED 0x8001
#define DE_PAGE 0x4000

/* ---- DENTRY: 12 bytes ------------------------------------------------ */
#define DENTRY_DATA(centry, mentry, tentry, word, flags) \
  { centry, mentry, tentry, word, flags, 0 }

/* ---- MENTRY: 6-byte entries, then a zero message word ---------------- */
#define ME(message, ordinal) message, 0, ordinal,
#define ME_INIT(ordinal) ME(MSG_INITDIALOG, ordinal)
#define ME_COMMAND(ordinal) ME(MSG_COMMAND, ordinal)
#define ME_END 0
/* "6 bytes longer than its entries": a whole zero entry. */
#define ME_END6 0, 0, 0

/* ---- TENTRY: 7-byte entries, then a zero dialog word ----------------- */
#define TE(dialog) dialog, VX70_MODULE, "\0\0\0",
#define TE_END 0

/* ---- CENTRY: 20-byte entries ------------------------------------------ */
/* Entry types. */
#define CT_DECIMAL 0x01
#define CT_TEXT 0x03
#define CT_WORD 0x04
#define CT_RECNO 0x05
#define CT_DATE 0x06
#define CT_RECORD 0x0A
#define CT_GRID15 0x15
#define CT_GRID16 0x16
#define CT_STATIC 0x17
#define CT_BUTTON 0x18
#define CT_GRIDCOMBO 0x1A
#define CT_LINK 0x1F
#define CT_SLOT 0x20

/* Storage words. */
#define CS_NONE 0
#define CS_WINDOW 1
#define CS_FIELD 2
#define CS_OWN 4
#define CS_HIDDEN 8
#define CS_FRAME 17

/* The full entry: identifier, type, storage, length, link 1, link 2,
 * rows-needed ordinal, start-up ordinal, reserved (0), layout word. */
#define CE(id, type, storage, length, link1, link2, fill, start, layout) \
  id, type, storage, length, link1, link2, fill, start, 0, layout,

/* A window without a value buffer (statics, group boxes, buttons). */
#define CE_STATIC(id) CE(id, CT_STATIC, CS_WINDOW, 0, 0, 0, 0, 0, 0)
#define CE_BUTTON(id) CE(id, CT_BUTTON, CS_WINDOW, 0, 0, 0, 0, 0, 0)
/* OK, Cancel, Close and Refresh of the tabbed dialogs. */
#define CE_FRAMEBUTTON(id) CE(id, CT_BUTTON, CS_FRAME, 0, 0, 0, 0, 0, 0)
/* A window with a buffer of its own: text of length bytes (terminator
 * included), a 16-bit number, or a number with decimals shown in length
 * characters. */
#define CE_TEXT(id, length) CE(id, CT_TEXT, CS_OWN, length, 0, 0, 0, 0, 0)
#define CE_WORD(id, length) CE(id, CT_WORD, CS_OWN, length, 0, 0, 0, 0, 0)
#define CE_DECIMAL(id, length) CE(id, CT_DECIMAL, CS_OWN, length, 0, 0, 0, 0, 0)
/* A value buffer that no template window shows. */
#define CE_HIDDEN(id, type, length) CE(id, type, CS_HIDDEN, length, 0, 0, 0, 0, 0)
/* A handler slot (8 bytes) that keeps a window handle. */
#define CE_SLOT(id) CE(id, CT_SLOT, CS_HIDDEN, 8, 0, 0, 0, 0, 0)
/* A whole-record image that storage-2 fields point into. */
#define CE_RECORD(id, length) CE(id, CT_RECORD, CS_NONE, length, 0, 0, 0, 0, 0)
/* A field of a record image: the slot and the byte offset inside it. */
#define CE_FIELD(id, type, length, slot, offset) \
  CE(id, type, CS_FIELD, length, slot, offset, 0, 0, 0)
/* A page entry that uses the tabbed parent's buffer of the same id. */
#define CE_LINK(id) CE(id, CT_LINK, CS_NONE, 0, 0, 0, 0, 0, 0)
/* Grids and grid-combos: GRID identifier, callbacks of module 15. */
#define CE_GRID(id, type, grid, fill, start, layout) \
  CE(id, type, CS_WINDOW, 0, grid, VX70_MODULE, fill, start, layout)

/* Terminators: the zero identifier word, and the longer zero tails that
 * some lists carry.  CE_END20 is a whole zero entry. */
#define CE_END2 0
#define CE_END4 0, 0
#define CE_END6 0, 0, 0
#define CE_END8 0, 0, 0, 0
#define CE_END20 0, 0, 0, 0, 0, 0, 0, 0, 0, 0

/* ---- GRID: column records, then a zero type word --------------------- */
/* Value types of a column. */
#define GT_TEXT 2
#define GT_WORD 6
#define GT_HIDDENWORD 9
#define GT_DECIMAL 12

/* The fixed 16-byte head of a column: value type, column identifier,
 * reserved, display width, length, decimal places, column flags, grid
 * flags. */
#define GCOL(type, id, width, length, places, colflags, gridflags) \
  type, id, 0, width, length, places, colflags, gridflags,
/* Style byte, editor class, reserved string and heading of a visible
 * column.  style is the style byte in hex digits, 80 or 81 (raw data takes
 * no expressions, so the word is pasted together: 0x40 is the '@'); cls is
 * the editor class without its leading '@' ("EDIT", "__03COMBO__",
 * "__03Combo__", or "" for a bare "@"). */
#define GEDIT(style, cls, heading) 0x40##style, cls "\0\0" heading "\0",
/* A hidden column: style 0, empty class, reserved string and heading. */
#define GHIDDEN "\0\0\0\0",
#define GRID_END 0
/* The spare zero byte after the terminator of a grid whose last column is
 * hidden. */
#define GRID_END_SPARE 0, "\0"

#endif
