// Sync timings against a local Radicale (1,000 entries), each beside its
// floor measured in the same run:
//   BM_SyncNothingChanged    a sync of a book and a server already in step
//   BM_PlainSyncCollection   one sync-collection request and its answer
//   BM_SyncFirstUpload       the first sync of 1,000 new entries to an empty
//                            address book
//   BM_PlainPuts             the same 1,000 cards sent by PUT over Qt Network,
//                            six in flight on kept-alive connections

#include <benchmark/benchmark.h>

#include <QTemporaryDir>

#include "cardfields.h"
#include "datafile.h"
#include "davclient.h"
#include "davxml.h"
#include "radicaleserver.h"
#include "syncengine.h"

namespace corvane {
namespace {

constexpr int kEntries = 1000;
constexpr double kNow = 46000.5;

std::vector<ContactRecord> people() {
    std::vector<ContactRecord> out;
    for (int i = 0; i < kEntries; ++i) {
        ContactRecord r;
        r.setText(Field::FullName, "Person " + std::to_string(10000 + i) + ", Ann");
        r.setText(Field::HomeEmail, "ann" + std::to_string(i) + "@example.org");
        r.setText(Field::HomePhone, "555 " + std::to_string(1000 + i));
        r.setDate(Field::Created, 45000 + i / 86400.0);
        out.push_back(r);
    }
    return out;
}

void writeBook(DataFile& store, const std::vector<ContactRecord>& records) {
    (void)store.UseDataFile([&] {
        for (std::size_t i = 0; i < records.size(); ++i) {
            store.CurrentRecord() = records[i];
            (void)store.WriteRecord(static_cast<int>(i) + 1);
        }
        return StoreStatus::success();
    });
}

DavClient client() {
    return DavClient(QStringLiteral("ann"), QStringLiteral("secret"));
}

void BM_SyncFirstUpload(benchmark::State& state) {
    auto& server = test::RadicaleServer::shared();
    const std::vector<ContactRecord> records = people();
    for (auto _ : state) {
        state.PauseTiming();
        QTemporaryDir dir;
        DataFile store(realFileSystem(), dir.path().toStdString());
        writeBook(store, records);
        const QUrl book = server.newAddressBook();
        DavClient dav = client();
        state.ResumeTiming();
        const SyncOutcome outcome = syncBook(store, dav, book, kNow);
        if (!outcome.ok || outcome.summary.sent != kEntries) {
            state.SkipWithError(outcome.error.toStdString().c_str());
        }
    }
}

void BM_PlainPuts(benchmark::State& state) {
    auto& server = test::RadicaleServer::shared();
    std::vector<QByteArray> cards;
    for (const ContactRecord& r : people()) {
        cards.push_back(cardOfRecord(r));
    }
    for (auto _ : state) {
        state.PauseTiming();
        const QUrl book = server.newAddressBook();
        std::vector<DavRequest> puts;
        for (std::size_t i = 0; i < cards.size(); ++i) {
            QUrl url = book;
            url.setPath(book.path() + QStringLiteral("c%1.vcf").arg(i));
            puts.push_back({"PUT", url, {{"If-None-Match", "*"}}, cards[i]});
        }
        DavClient dav = client();
        state.ResumeTiming();
        const std::vector<DavResponse> answers = dav.sendAll(puts);
        if (answers.back().status != 201) {
            state.SkipWithError("a PUT failed");
        }
    }
}

// A book and an address book in step, made once.
struct InStep {
    QTemporaryDir dir;
    std::unique_ptr<DataFile> store;
    QUrl book;
    InStep() {
        store = std::make_unique<DataFile>(realFileSystem(), dir.path().toStdString());
        writeBook(*store, people());
        book = test::RadicaleServer::shared().newAddressBook();
        DavClient dav = client();
        (void)syncBook(*store, dav, book, kNow);
    }
};
InStep& inStep() {
    static InStep shared;
    return shared;
}

void BM_SyncNothingChanged(benchmark::State& state) {
    InStep& s = inStep();
    DavClient dav = client();
    for (auto _ : state) {
        const SyncOutcome outcome = syncBook(*s.store, dav, s.book, kNow);
        if (!outcome.ok || outcome.summary.sent + outcome.summary.received != 0) {
            state.SkipWithError("the sync found work to do");
        }
    }
}

void BM_PlainSyncCollection(benchmark::State& state) {
    InStep& s = inStep();
    DavClient dav = client();
    const DavResponse first =
        dav.send({"REPORT", s.book, {{"Depth", "1"}}, davXml::syncCollection({})});
    const QByteArray token = davXml::parse(first.body).syncToken;
    for (auto _ : state) {
        const DavResponse r =
            dav.send({"REPORT", s.book, {{"Depth", "1"}}, davXml::syncCollection(token)});
        benchmark::DoNotOptimize(davXml::parse(r.body).syncToken);
    }
}

BENCHMARK(BM_SyncNothingChanged)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlainSyncCollection)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SyncFirstUpload)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_PlainPuts)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
}  // namespace corvane
