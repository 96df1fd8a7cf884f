// Commands that place things along the item: positions, columns, bitmaps, column cells,
// text runs, colours and separators.
#include "markup/markup_state.h"

#include "owndraw/gdi_guards.h"
#include "owndraw/graphics.h"

void command_ofs(MarkupState&) {}
void command_x(MarkupState&) {}
void command_xe(MarkupState&) {}
void command_d(MarkupState&) {}
void command_xcol(MarkupState&) {}
void command_bmp(MarkupState&) {}
void command_bbk(MarkupState&) {}
void command_rbr(MarkupState&) {}
void command_cl(MarkupState&) {}
void command_csl(MarkupState&) {}
void command_ca(MarkupState&) {}
void command_cs(MarkupState&) {}
void command_cd(MarkupState&) {}
void command_cr(MarkupState&) {}
void command_txt(MarkupState&) {}
void command_txl(MarkupState&) {}
void command_dta(MarkupState&) {}
void command_bck(MarkupState&) {}
void command_bkm(MarkupState&) {}
void command_frg(MarkupState&) {}
void command_pen(MarkupState&) {}
void command_sep(MarkupState&) {}
