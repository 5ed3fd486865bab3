#pragma once

// Identifiers of the program's own resources, shared by the resource scripts and the code. Plain
// macros: the resource compiler reads this file too.
#define TAILMEND_MAIN_PICTURE 101
