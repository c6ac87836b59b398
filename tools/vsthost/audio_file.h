// WAV files through libsndfile: a reader, and a writer that never leaves a partial file under
// the final name.
#pragma once

#include <sndfile.h>

#include <string>

class AudioReader
{
public:
    // Throws ToolError(kExitBadAudio) when the file cannot be opened or decoded.
    explicit AudioReader(const std::string& path);
    ~AudioReader();
    AudioReader(const AudioReader&) = delete;
    AudioReader& operator=(const AudioReader&) = delete;

    const SF_INFO& info() const { return info_; }
    // Interleaved frames; answers how many were read, 0 at the end. Throws on a read error.
    sf_count_t read(float* frames, sf_count_t count);
    sf_count_t read(double* frames, sf_count_t count);

private:
    std::string path_;
    SF_INFO info_ = {};
    SNDFILE* file_ = nullptr;
};

class AudioWriter
{
public:
    // Opens a temporary file beside `path`. Throws ToolError(kExitOutputFailed) when it cannot,
    // or ToolError(kExitUnsupported) when libsndfile cannot write `format`.
    AudioWriter(const std::string& path, int format, int sampleRate, int channels);
    // Without commit() the temporary file is removed.
    ~AudioWriter();
    AudioWriter(const AudioWriter&) = delete;
    AudioWriter& operator=(const AudioWriter&) = delete;

    void write(const float* frames, sf_count_t count);
    void write(const double* frames, sf_count_t count);
    // Closes the file and moves it to its final name, replacing any file there.
    void commit();

private:
    void checkWritten(sf_count_t written, sf_count_t count);

    std::string path_;
    std::string temporaryPath_;
    SNDFILE* file_ = nullptr;
    bool committed_ = false;
};
