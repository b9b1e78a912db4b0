// Decoding a full state image (1,024 intersections of both controller types, 200
// groups) into the live state set, beside a plain copy of the 124,768 bytes.
// Prints the time per image of each and their ratio (the copy, measured in the same
// run, is the limit's unit).
//
//   bench-statedecode [images]
#include <QCoreApplication>
#include <QElapsedTimer>

#include <cstdio>
#include <cstring>
#include <memory>

#include "BenchCity.h"
#include "centrelink/RC2MMIUnit.h"
#include "RcScenario.h"

namespace {

QString fullCity()
{
    return BenchCity::Scenario(false, QStringLiteral("event 5-60 from=0 to=300 state=flash flash=1\n"
                                                     "event 100-140 from=0 to=300 state=commfail\n"
                                                     "event 200-260 from=0 to=300 conflict=1 door=1\n"));
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const int images = argc > 1 ? qMax(1, atoi(argv[1])) : 2000;

    rcsim::Scenario sc;
    QString why;
    if (!rcsim::Scenario::parse(fullCity(), &sc, &why)) {
        std::fprintf(stderr, "scenario: %s\n", qPrintable(why));
        return 1;
    }
    // A handful of different images so that the decode sees changing states.
    constexpr int kVariants = 8;
    std::unique_ptr<TST_VESK_STATE[]> source(new TST_VESK_STATE[kVariants]);
    for (int i = 0; i < kVariants; ++i) {
        const QByteArray bytes = sc.stateImage(i * 7.0, false);
        std::memcpy(&source[i], bytes.constData(), sizeof(TST_VESK_STATE));
    }

    TLC_INFO_SET set;
    for (int n = 1; n <= RC_LC_COUNT; ++n) {
        auto info = std::make_shared<TSTT_LC_INFO>();
        info->tcdv_id = n;
        info->lc_type = n % 3 == 0 ? 1 : 2;
        info->is_use = n % 50 != 0;
        set.SetLcInfo(n, info);
    }
    for (int n = 50; n <= RC_LC_COUNT; n += 100)
        set.SetVirtual(n, n - 1); // some virtual intersections

    // The monitoring cycle's path: copy of the set into the cycle's snapshot (its
    // storage kept from cycle to cycle), decode, hand-over with the changed numbers.
    QElapsedTimer t;
    volatile int sink = 0;
    TLcStateSnapshot cycleSnap;
    QList<int> changed;
    t.start();
    for (int i = 0; i < images; ++i) {
        set.TakeSnapshot(cycleSnap);
        DecodeStateImage(source[i % kVariants], cycleSnap);
        changed.clear();
        set.ApplySnapshot(cycleSnap, &changed);
    }
    const double decodeNs = double(t.nsecsElapsed()) / images;
    sink += set.GetLcInfo(7)->opr_stat;

    // The two other parts of the path apart: the copy into the snapshot and the
    // hand-over (the snapshot decoded from the images in turn, so that states change).
    double takeNs = 0, applyNs = 0;
    for (int i = 0; i < images; ++i) {
        t.restart();
        set.TakeSnapshot(cycleSnap);
        takeNs += double(t.nsecsElapsed());
        DecodeStateImage(source[i % kVariants], cycleSnap);
        changed.clear();
        t.restart();
        set.ApplySnapshot(cycleSnap, &changed);
        applyNs += double(t.nsecsElapsed());
    }
    takeNs /= images;
    applyNs /= images;

    // Decode alone (no snapshot copy and hand-over).
    TLcStateSnapshot snap = set.TakeSnapshot();
    t.restart();
    for (int i = 0; i < images; ++i)
        DecodeStateImage(source[i % kVariants], snap);
    const double decodeOnlyNs = double(t.nsecsElapsed()) / images;

    // A plain copy of the image's bytes.
    std::unique_ptr<TST_VESK_STATE> target(new TST_VESK_STATE);
    t.restart();
    for (int i = 0; i < images; ++i) {
        std::memcpy(static_cast<void *>(target.get()), &source[i % kVariants], sizeof(TST_VESK_STATE));
        // Every byte of the copy counts: the compiler may not drop the stores it
        // cannot see read.
        asm volatile("" : : "r"(target.get()) : "memory");
        sink += target->lc_state[i % RC_LC_COUNT].status;
    }
    const double copyNs = double(t.nsecsElapsed()) / images;

    std::printf("state image: %d bytes, %d intersections in the set, %d images\n", RC_STATE_IMAGE_SIZE,
                set.Count(), images);
    std::printf("decode into the live set (snapshot, decode, hand-over): %10.1f us per image\n", decodeNs / 1000.0);
    std::printf("decode alone:                                           %10.1f us per image\n",
                decodeOnlyNs / 1000.0);
    std::printf("  of which the copy into the snapshot:                  %10.1f us per image\n", takeNs / 1000.0);
    std::printf("  of which the hand-over:                               %10.1f us per image\n", applyNs / 1000.0);
    std::printf("plain copy of 124,768 bytes:                            %10.1f us per image\n", copyNs / 1000.0);
    std::printf("ratio decode / copy:                                    %10.1f   (goal: 15 or less)\n",
                decodeNs / qMax(1.0, copyNs));
    std::printf("ratio decode alone / copy:                              %10.1f   (goal: 15 or less)\n",
                decodeOnlyNs / qMax(1.0, copyNs));
    return sink == -1 ? 1 : 0;
}
