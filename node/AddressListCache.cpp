#include "AddressListCache.h"

bool AddressListCache::lookUpDue(Time now) const {
    return !mLastLookUp || now < *mLastLookUp || now - *mLastLookUp >= kLookUpInterval;
}

bool AddressListCache::offer(const std::string& list, Time now, bool asked) {
    mLastLookUp = now;
    if (!asked && mLastSent && *mLastSent == list) {
        return false;
    }
    mLastSent = list;
    return true;
}
