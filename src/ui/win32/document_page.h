#pragma once
// The rich-text documents of the Help and About pages, and the version the About
// page shows.

#include <windows.h>

// What loadDocumentPage traces when a step fails; each is a format given the
// trace tag and the system's last error code.
struct DocumentTraces {
    const char* create_failed;
    const char* not_found;
    const char* load_failed;
};

// Creates a read-only rich edit control inside the group box `frame_id` of `page`
// and hands it the "RTF" resource `resource_id` of the plug-in's module as its
// text. Returns the control, or null when it could not be created; a document
// that cannot be found or loaded leaves the control empty. The page's window owns
// the control.
HWND loadDocumentPage(HWND page, int frame_id, int resource_id, const DocumentTraces& traces);

// The product version of the file at `path`; all four parts are 0 when it has
// none or it cannot be read.
bool getProductVersion(const char* path, int& major, int& minor, int& third, int& fourth);
