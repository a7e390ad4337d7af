#include "AddressListCache.h"

#include <gtest/gtest.h>

namespace {

using std::chrono::milliseconds;
using Time = AddressListCache::Time;

const Time kStart = Time(std::chrono::seconds(500));

TEST(AddressListCache, TheFirstLookUpIsDueAndSent) {
    AddressListCache cache;
    EXPECT_TRUE(cache.lookUpDue(kStart));
    EXPECT_TRUE(cache.offer("IPs:\t\t\t10.0.0.1", kStart, false));
}

TEST(AddressListCache, NoLookUpWithinASecondOfTheLast) {
    AddressListCache cache;
    cache.offer("IPs:", kStart, false);
    EXPECT_FALSE(cache.lookUpDue(kStart));
    EXPECT_FALSE(cache.lookUpDue(kStart + milliseconds(999)));
    EXPECT_TRUE(cache.lookUpDue(kStart + milliseconds(1000)));
}

TEST(AddressListCache, AnUnchangedListIsNotSentAgain) {
    AddressListCache cache;
    cache.offer("IPs:\t\t\t10.0.0.1", kStart, false);
    const Time later = kStart + milliseconds(1000);
    EXPECT_FALSE(cache.offer("IPs:\t\t\t10.0.0.1", later, false));
    // The look-up still counts: the next one is a second after it.
    EXPECT_FALSE(cache.lookUpDue(later + milliseconds(999)));
    EXPECT_TRUE(cache.lookUpDue(later + milliseconds(1000)));
}

TEST(AddressListCache, AChangedListIsSentOnceAndAChangeBackIsSentToo) {
    AddressListCache cache;
    cache.offer("IPs:\t\t\t10.0.0.1", kStart, false);
    EXPECT_TRUE(cache.offer("IPs:\t\t\t10.0.0.2", kStart + milliseconds(1000), false));
    EXPECT_FALSE(cache.offer("IPs:\t\t\t10.0.0.2", kStart + milliseconds(2000), false));
    EXPECT_TRUE(cache.offer("IPs:\t\t\t10.0.0.1", kStart + milliseconds(3000), false));
}

TEST(AddressListCache, AnAskedForListIsSentEvenUnchanged) {
    AddressListCache cache;
    cache.offer("IPs:", kStart, false);
    EXPECT_TRUE(cache.offer("IPs:", kStart + milliseconds(10), true));
    EXPECT_FALSE(cache.offer("IPs:", kStart + milliseconds(1010), false));
}

TEST(AddressListCache, AClockSetBackMakesALookUpDue) {
    AddressListCache cache;
    cache.offer("IPs:", kStart, false);
    EXPECT_TRUE(cache.lookUpDue(kStart - milliseconds(1)));
}

TEST(AddressListCache, AnEmptyListIsAListLikeAnyOther) {
    AddressListCache cache;
    EXPECT_TRUE(cache.offer("", kStart, false));
    EXPECT_FALSE(cache.offer("", kStart + milliseconds(1000), false));
}

}  // namespace
