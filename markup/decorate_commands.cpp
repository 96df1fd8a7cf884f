// Commands that decorate the item: tree cells, rules, fills, range bars, row colours and
// patterns, and the font.
#include "markup/markup_state.h"

#include "owndraw/gdi_guards.h"
#include "owndraw/graphics.h"

void command_tree(MarkupState&) {}
void command_lin(MarkupState&) {}
void command_linb(MarkupState&) {}
void command_linc(MarkupState&) {}
void command_el(MarkupState&) {}
void command_tl(MarkupState&) {}
void command_fl(MarkupState&) {}
void command_rect(MarkupState&) {}
void command_grect(MarkupState&) {}
void command_sp(MarkupState&) {}
void command_drc(MarkupState&) {}
void command_dr(MarkupState&) {}
void command_drs(MarkupState&) {}
void command_sf(MarkupState&) {}
void command_sfp(MarkupState&) {}
void command_sfd(MarkupState&) {}
void command_sfb(MarkupState&) {}
void command_scp(MarkupState&) {}
void command_scd(MarkupState&) {}
void command_scb(MarkupState&) {}
void command_f01(MarkupState&) {}
