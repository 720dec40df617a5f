// A module as another Brimwell built it: its interface is of another version, so the loader must
// refuse it without calling it (report/tests/plan_pdf_test.sh puts it where the PDF writer goes).

#include "links/link_module.h"

BRIMWELL_LINK_MODULE(int* version) {
    *version = brimwell::links::kLinkInterfaceVersion - 1;
    return version;
}
