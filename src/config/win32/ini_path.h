#pragma once
// Where tarnwick.ini lives: set by "load" from the home directory, freed by
// "unload"; null while unknown, and then there is no file to read or write.

extern char* ini_path;
