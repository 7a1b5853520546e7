#pragma once

#include <QImage>
#include <QSize>
#include <QString>

#include <memory>

// What a band pipeline feeds: a file writer, or anything else that reads a picture band by band. The
// work that can run on several bands at once goes in process(); take() then receives the results one by
// one in the order of the bands.
class BandConsumer
{
public:
    struct Result
    {
        virtual ~Result() = default;
    };

    virtual ~BandConsumer() = default;

    // On the exporting thread, once, with the first band (for its format and resolution).
    virtual bool begin(const QSize& size, const QImage& firstBand) = 0;
    // On worker threads, several bands at a time. above is the band before this one, null for the
    // first. Returns null on failure.
    virtual std::unique_ptr<Result> process(const QImage& band, const QImage& above, int top, bool last) = 0;
    // On the exporting thread, in band order.
    virtual bool take(Result& result) = 0;
    // On the exporting thread, after the last band was taken.
    virtual bool finish() = 0;
    virtual QString errorString() const = 0;
};
