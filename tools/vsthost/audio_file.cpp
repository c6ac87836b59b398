#include "audio_file.h"

#include "output_file.h"
#include "tool_error.h"

#include <cstdio>

AudioReader::AudioReader(const std::string& path) : path_(path)
{
    file_ = sf_open(path.c_str(), SFM_READ, &info_);
    if (file_ == nullptr)
    {
        throw ToolError(kExitBadAudio,
                        "cannot read audio file " + path + ": " + sf_strerror(nullptr));
    }
    if (info_.channels < 1 || info_.samplerate < 1)
    {
        sf_close(file_);
        throw ToolError(kExitBadAudio, "unsupported audio file " + path + ": " +
                                           std::to_string(info_.channels) + " channels at " +
                                           std::to_string(info_.samplerate) + " Hz");
    }
}

AudioReader::~AudioReader()
{
    sf_close(file_);
}

sf_count_t AudioReader::read(float* frames, sf_count_t count)
{
    const sf_count_t got = sf_readf_float(file_, frames, count);
    if (got < count && sf_error(file_) != SF_ERR_NO_ERROR)
    {
        throw ToolError(kExitBadAudio,
                        "cannot read audio file " + path_ + ": " + sf_strerror(file_));
    }
    return got;
}

sf_count_t AudioReader::read(double* frames, sf_count_t count)
{
    const sf_count_t got = sf_readf_double(file_, frames, count);
    if (got < count && sf_error(file_) != SF_ERR_NO_ERROR)
    {
        throw ToolError(kExitBadAudio,
                        "cannot read audio file " + path_ + ": " + sf_strerror(file_));
    }
    return got;
}

AudioWriter::AudioWriter(const std::string& path, int format, int sampleRate, int channels)
    : path_(path), temporaryPath_(temporaryNameFor(path))
{
    SF_INFO info = {};
    info.samplerate = sampleRate;
    info.channels = channels;
    info.format = format;
    if (sf_format_check(&info) == 0)
    {
        char text[64];
        std::snprintf(text, sizeof text, "cannot write audio format 0x%06X to ", format);
        throw ToolError(kExitUnsupported, text + path);
    }
    file_ = sf_open(temporaryPath_.c_str(), SFM_WRITE, &info);
    if (file_ == nullptr)
    {
        throw ToolError(kExitOutputFailed, "cannot create output file " + temporaryPath_ + ": " +
                                               sf_strerror(nullptr));
    }
    // Integer formats clip loud samples instead of wrapping them around.
    sf_command(file_, SFC_SET_CLIPPING, nullptr, SF_TRUE);
    // The peak chunk carries a time stamp: without it the same render gives the same bytes.
    sf_command(file_, SFC_SET_ADD_PEAK_CHUNK, nullptr, SF_FALSE);
}

AudioWriter::~AudioWriter()
{
    if (!committed_)
    {
        sf_close(file_);
        std::remove(temporaryPath_.c_str());
    }
}

void AudioWriter::checkWritten(sf_count_t written, sf_count_t count)
{
    if (written != count)
    {
        throw ToolError(kExitOutputFailed,
                        "cannot write output file " + temporaryPath_ + ": " + sf_strerror(file_));
    }
}

void AudioWriter::write(const float* frames, sf_count_t count)
{
    checkWritten(sf_writef_float(file_, frames, count), count);
}

void AudioWriter::write(const double* frames, sf_count_t count)
{
    checkWritten(sf_writef_double(file_, frames, count), count);
}

void AudioWriter::commit()
{
    const int closed = sf_close(file_);
    file_ = nullptr;
    if (closed != 0 || !replaceFile(temporaryPath_, path_))
    {
        throw ToolError(kExitOutputFailed, "cannot write output file " + path_);
    }
    committed_ = true;
}
