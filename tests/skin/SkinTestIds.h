#pragma once
// Ids of the skin tests' own resources (tests/skin/SkinTest.rc), clear of the launcher's.
#define IDT_STRIP4 9200
#define IDT_STRIP75 9201
#define IDT_NOT_PNG 9202
#define IDT_STRIP_EDGE 9203
#define IDT_BUTTON_DIALOG 9100
#define IDT_BUTTON_ONE 9101
#define IDT_BUTTON_TWO 9102
