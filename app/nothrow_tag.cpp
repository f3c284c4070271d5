// The tag that selects the nothrow forms of new, for the program, which allocates only with
// those forms. The library defines it beside its new-handler functions, which the program never
// calls; defined here, they stay out of the program. A file of its own, as test programs that
// link the library's new-handler functions must not get a second definition.
#include <new>

const std::nothrow_t std::nothrow{};
