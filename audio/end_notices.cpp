#include "audio/end_notices.h"

namespace qlor {

EndNotices::Notice EndNotices::Take() {
    if (pending_ == 0)
        return Notice::Foreign;
    --pending_;
    if (pending_ > 0)
        return Notice::Superseded;
    if (!wanted_)
        return Notice::CutShort;
    wanted_ = false;
    return Notice::Natural;
}

} // namespace qlor
