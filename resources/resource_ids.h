#pragma once
// Resource and control ids shared by the resource script and the code.

#define IDB_LOGO 104
