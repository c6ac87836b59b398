/* An ALSA device that keeps time without a sound card: playback writes into a file, capture reads
 * from one (silence after its end), and either moves samples no faster than the clock, as a card
 * would. Unlike a card it never overruns or underruns: when the program falls behind, the
 * device waits for it, so no sample is lost or made up. The files hold 32-bit float samples in
 * 2 channels at one rate; a 1-channel stream plays into both and records the first. ALSA's own
 * conversion would go through integers for float samples, and change them.
 *
 *   pcm_type.dranvelor_clocked { lib "/path/to/this.so" }
 *   pcm.name { type dranvelor_clocked; file "/path"; rate 48000 }
 *
 * Only 32-bit arithmetic where the 32-bit build would need libgcc: frames fit an unsigned long
 * for a day at 48 kHz. */
#include <alsa/asoundlib.h>
#include <alsa/pcm_external.h>
#include <errno.h>
#include <limits.h>
#include <poll.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/timerfd.h>
#include <time.h>
#include <unistd.h>

typedef struct
{
    snd_pcm_ioplug_t io;
    FILE* file;
    int timer;
    unsigned int rate;
    int running;
    snd_pcm_uframes_t boundary;
    snd_pcm_uframes_t moved;  /* frames the program wrote or read */
    snd_pcm_uframes_t hw;     /* frames the device played or recorded */
    snd_pcm_uframes_t origin; /* the clock's frame count when hw was 0, moved on when waiting */
} Clocked;

static snd_pcm_uframes_t clock_frames(const Clocked* device)
{
    struct timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return (snd_pcm_uframes_t)((double)now.tv_sec * device->rate +
                               (double)now.tv_nsec * 1e-9 * device->rate);
}

static snd_pcm_sframes_t clocked_pointer(snd_pcm_ioplug_t* io)
{
    Clocked* device = io->private_data;
    if (device->running)
    {
        const snd_pcm_uframes_t now = clock_frames(device);
        snd_pcm_uframes_t hw = now - device->origin;
        /* Playback plays only what was written; capture holds at most a buffer unread. */
        const snd_pcm_uframes_t limit =
            io->stream == SND_PCM_STREAM_PLAYBACK ? device->moved : device->moved + io->buffer_size;
        if (hw > limit)
        {
            hw = limit;
            device->origin = now - hw;
        }
        device->hw = hw;
    }
    return (snd_pcm_sframes_t)(device->hw % device->boundary);
}

/* Moves count frames of the stream's channels between samples and the file's stereo frames. */
static int move_frames(Clocked* device, int playback, unsigned int channels, float* samples,
                       size_t count)
{
    float stereo[512][2];
    size_t done, part, frame;
    for (done = 0; done < count; done += part)
    {
        part = count - done < 512 ? count - done : 512;
        if (playback)
        {
            for (frame = 0; frame < part; ++frame)
            {
                stereo[frame][0] = samples[(done + frame) * channels];
                stereo[frame][1] = samples[(done + frame) * channels + channels - 1];
            }
            if (fwrite(stereo, sizeof stereo[0], part, device->file) != part)
                return -EIO;
        }
        else
        {
            const size_t got = fread(stereo, sizeof stereo[0], part, device->file);
            memset(stereo[got], 0, (part - got) * sizeof stereo[0]);
            for (frame = 0; frame < part; ++frame)
            {
                samples[(done + frame) * channels] = stereo[frame][0];
                if (channels == 2)
                    samples[(done + frame) * channels + 1] = stereo[frame][1];
            }
        }
    }
    return 0;
}

static snd_pcm_sframes_t clocked_transfer(snd_pcm_ioplug_t* io, const snd_pcm_channel_area_t* areas,
                                          snd_pcm_uframes_t offset, snd_pcm_uframes_t size)
{
    Clocked* device = io->private_data;
    float* samples = (float*)((char*)areas[0].addr + (areas[0].first + offset * areas[0].step) / 8);
    const int error =
        move_frames(device, io->stream == SND_PCM_STREAM_PLAYBACK, io->channels, samples, size);
    if (error < 0)
        return error;
    device->moved += size;
    return (snd_pcm_sframes_t)size;
}

static int clocked_prepare(snd_pcm_ioplug_t* io)
{
    Clocked* device = io->private_data;
    /* The boundary ALSA computes: the largest buffer multiple of 2^n that a long holds. */
    device->boundary = io->buffer_size;
    while (device->boundary * 2 <= LONG_MAX - io->buffer_size)
        device->boundary *= 2;
    device->running = 0;
    device->moved = 0;
    device->hw = 0;
    return 0;
}

static int clocked_start(snd_pcm_ioplug_t* io)
{
    Clocked* device = io->private_data;
    const long period_ns = (long)((double)io->period_size * 1e9 / device->rate);
    const struct itimerspec every = {{period_ns / 1000000000, period_ns % 1000000000},
                                     {period_ns / 1000000000, period_ns % 1000000000}};
    device->origin = clock_frames(device) - device->hw;
    device->running = 1;
    return timerfd_settime(device->timer, 0, &every, NULL) < 0 ? -errno : 0;
}

static int clocked_stop(snd_pcm_ioplug_t* io)
{
    Clocked* device = io->private_data;
    const struct itimerspec never = {{0, 0}, {0, 0}};
    clocked_pointer(io);
    device->running = 0;
    timerfd_settime(device->timer, 0, &never, NULL);
    return 0;
}

/* Woken once a period; ALSA then looks at what is available. */
static int clocked_poll_revents(snd_pcm_ioplug_t* io, struct pollfd* fds, unsigned int count,
                                unsigned short* revents)
{
    Clocked* device = io->private_data;
    unsigned long long expirations;
    (void)count;
    if (fds[0].revents & POLLIN)
    {
        if (read(device->timer, &expirations, sizeof expirations) < 0 && errno != EAGAIN)
            return -errno;
        *revents = io->stream == SND_PCM_STREAM_PLAYBACK ? POLLOUT : POLLIN;
    }
    else
        *revents = 0;
    return 0;
}

static int clocked_close(snd_pcm_ioplug_t* io)
{
    Clocked* device = io->private_data;
    fclose(device->file);
    close(device->timer);
    free(device);
    return 0;
}

static const snd_pcm_ioplug_callback_t callbacks = {
    .start = clocked_start,
    .stop = clocked_stop,
    .pointer = clocked_pointer,
    .transfer = clocked_transfer,
    .prepare = clocked_prepare,
    .poll_revents = clocked_poll_revents,
    .close = clocked_close,
};

static int constrain(snd_pcm_ioplug_t* io, unsigned int rate)
{
    static const unsigned int access[] = {SND_PCM_ACCESS_RW_INTERLEAVED};
    static const unsigned int format[] = {SND_PCM_FORMAT_FLOAT_LE};
    int error;
    if ((error = snd_pcm_ioplug_set_param_list(io, SND_PCM_IOPLUG_HW_ACCESS, 1, access)) < 0 ||
        (error = snd_pcm_ioplug_set_param_list(io, SND_PCM_IOPLUG_HW_FORMAT, 1, format)) < 0 ||
        (error = snd_pcm_ioplug_set_param_minmax(io, SND_PCM_IOPLUG_HW_CHANNELS, 1, 2)) < 0 ||
        (error = snd_pcm_ioplug_set_param_minmax(io, SND_PCM_IOPLUG_HW_RATE, rate, rate)) < 0 ||
        (error = snd_pcm_ioplug_set_param_minmax(io, SND_PCM_IOPLUG_HW_PERIOD_BYTES, 64 * 8,
                                                 65536 * 8)) < 0 ||
        (error = snd_pcm_ioplug_set_param_minmax(io, SND_PCM_IOPLUG_HW_PERIODS, 2, 64)) < 0)
        return error;
    return snd_pcm_ioplug_set_param_minmax(io, SND_PCM_IOPLUG_HW_BUFFER_BYTES, 128 * 8,
                                           4 * 65536 * 8);
}

SND_PCM_PLUGIN_DEFINE_FUNC(dranvelor_clocked)
{
    const char* path = NULL;
    long rate = 48000;
    snd_config_iterator_t i, next;
    Clocked* device;
    int error;
    (void)root;
    snd_config_for_each(i, next, conf)
    {
        snd_config_t* entry = snd_config_iterator_entry(i);
        const char* id;
        if (snd_config_get_id(entry, &id) < 0 || !strcmp(id, "comment") || !strcmp(id, "type") ||
            !strcmp(id, "hint"))
            continue;
        if (!strcmp(id, "file") && snd_config_get_string(entry, &path) == 0)
            continue;
        if (!strcmp(id, "rate") && snd_config_get_integer(entry, &rate) == 0 && rate > 0)
            continue;
        SNDERR("dranvelor_clocked: bad field %s", id);
        return -EINVAL;
    }
    if (path == NULL)
    {
        SNDERR("dranvelor_clocked: no file");
        return -EINVAL;
    }
    device = calloc(1, sizeof *device);
    if (device == NULL)
        return -ENOMEM;
    device->rate = (unsigned int)rate;
    device->file = fopen(path, stream == SND_PCM_STREAM_PLAYBACK ? "wb" : "rb");
    device->timer = timerfd_create(CLOCK_MONOTONIC, TFD_NONBLOCK | TFD_CLOEXEC);
    if (device->file == NULL || device->timer < 0)
    {
        error = -errno;
        if (device->file != NULL)
            fclose(device->file);
        free(device);
        return error;
    }
    device->io.version = SND_PCM_IOPLUG_VERSION;
    device->io.name = "Dranvelor clocked file";
    device->io.callback = &callbacks;
    device->io.private_data = device;
    device->io.poll_fd = device->timer;
    device->io.poll_events = POLLIN;
    device->io.flags = SND_PCM_IOPLUG_FLAG_BOUNDARY_WA;
    if ((error = snd_pcm_ioplug_create(&device->io, name, stream, mode)) < 0)
    {
        fclose(device->file);
        close(device->timer);
        free(device);
        return error;
    }
    if ((error = constrain(&device->io, device->rate)) < 0)
    {
        snd_pcm_ioplug_delete(&device->io);
        return error;
    }
    *pcmp = device->io.pcm;
    return 0;
}

SND_PCM_PLUGIN_SYMBOL(dranvelor_clocked);
