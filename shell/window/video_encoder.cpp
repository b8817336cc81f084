#include "shell/window/video_encoder.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/error.h>
#include <libavutil/log.h>
#include <libavutil/opt.h>
#include <libswscale/swscale.h>
}

#include "shell/recording.h"

struct VideoEncoder {
    AVFormatContext* format = nullptr;
    AVCodecContext* codec = nullptr;
    AVStream* stream = nullptr;
    SwsContext* scaler = nullptr;
    AVFrame* frame = nullptr;
    AVPacket* packet = nullptr;
    long long nextFrame = 0; // its number is its timestamp, in frame periods
    std::string codecName;
};

namespace {

const AVRational framePeriod{videoRateDenominator, videoRateNumerator}; // s
const AVRational frameRate{videoRateNumerator, videoRateDenominator};

std::string describe(const char* what, int code) {
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, text, sizeof text);
    return std::string(what) + ": " + text;
}

// The same frames give the same bytes: one thread, no version or time strings in the file.
AVCodecContext* openCodec(const AVCodec* encoder, int width, int height, bool globalHeader) {
    AVCodecContext* c = avcodec_alloc_context3(encoder);
    if (!c) return nullptr;
    c->width = width;
    c->height = height;
    c->time_base = framePeriod;
    c->framerate = frameRate;
    c->pix_fmt = AV_PIX_FMT_YUV420P;
    c->gop_size = 100; // a key frame every 3 s of the walk, for seeking
    c->thread_count = 1;
    c->flags |= AV_CODEC_FLAG_BITEXACT;
    if (globalHeader) c->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    // What swscale's RGB to YUV conversion gives: BT.601 in the limited range.
    c->colorspace = AVCOL_SPC_SMPTE170M;
    c->color_primaries = AVCOL_PRI_SMPTE170M;
    c->color_trc = AVCOL_TRC_SMPTE170M;
    c->color_range = AVCOL_RANGE_MPEG;
    if (encoder->id == AV_CODEC_ID_H264) {
        av_opt_set(c->priv_data, "preset", "veryfast", 0);
        av_opt_set(c->priv_data, "crf", "22", 0);
    } else {
        c->flags |= AV_CODEC_FLAG_QSCALE;
        c->global_quality = FF_QP2LAMBDA * 4;
    }
    if (avcodec_open2(c, encoder, nullptr) < 0) avcodec_free_context(&c);
    return c;
}

// libx264 first, then any other software H.264 encoder that opens, else MPEG-4 Part 2.
AVCodecContext* pickCodec(int width, int height, bool globalHeader) {
    if (const AVCodec* x264 = avcodec_find_encoder_by_name("libx264"))
        if (AVCodecContext* c = openCodec(x264, width, height, globalHeader)) return c;
    void* at = nullptr;
    while (const AVCodec* encoder = av_codec_iterate(&at)) {
        const bool software =
            !(encoder->capabilities & (AV_CODEC_CAP_HARDWARE | AV_CODEC_CAP_HYBRID));
        if (encoder->id != AV_CODEC_ID_H264 || !av_codec_is_encoder(encoder) || !software) continue;
        if (AVCodecContext* c = openCodec(encoder, width, height, globalHeader)) return c;
    }
    const AVCodec* mpeg4 = avcodec_find_encoder(AV_CODEC_ID_MPEG4);
    return mpeg4 ? openCodec(mpeg4, width, height, globalHeader) : nullptr;
}

void freeEncoder(VideoEncoder* v) {
    if (v->format) {
        if (v->format->pb) avio_closep(&v->format->pb);
        avformat_free_context(v->format);
    }
    avcodec_free_context(&v->codec);
    sws_freeContext(v->scaler);
    av_frame_free(&v->frame);
    av_packet_free(&v->packet);
    delete v;
}

// Hands frame (nullptr: the end) to the encoder and writes the packets it gives back.
bool encode(VideoEncoder* v, AVFrame* frame, std::string& error) {
    int status = avcodec_send_frame(v->codec, frame);
    if (status < 0) {
        error = describe("cannot encode a frame", status);
        return false;
    }
    while ((status = avcodec_receive_packet(v->codec, v->packet)) >= 0) {
        av_packet_rescale_ts(v->packet, v->codec->time_base, v->stream->time_base);
        v->packet->stream_index = v->stream->index;
        status = av_interleaved_write_frame(v->format, v->packet);
        if (status >= 0 && v->format->pb->error < 0) status = v->format->pb->error;
        if (status < 0) {
            error = describe("cannot write", status);
            return false;
        }
    }
    if (status == AVERROR(EAGAIN) || status == AVERROR_EOF) return true;
    error = describe("cannot encode a frame", status);
    return false;
}

} // namespace

VideoEncoder* openVideo(const std::string& path, const std::string& name, int width, int height,
                        std::string& error) {
    av_log_set_level(AV_LOG_QUIET); // failures are told in one line of our own
    auto* v = new VideoEncoder;
    const AVOutputFormat* container = av_guess_format(nullptr, name.c_str(), nullptr);
    int status = container
                     ? avformat_alloc_output_context2(&v->format, container, nullptr, path.c_str())
                     : AVERROR_MUXER_NOT_FOUND;
    if (status < 0) {
        error = describe(("cannot make a video file named " + name).c_str(), status);
        freeEncoder(v);
        return nullptr;
    }
    v->format->flags |= AVFMT_FLAG_BITEXACT;
    const bool globalHeader = v->format->oformat->flags & AVFMT_GLOBALHEADER;
    v->codec = pickCodec(width, height, globalHeader);
    v->stream = avformat_new_stream(v->format, nullptr);
    v->frame = av_frame_alloc();
    v->packet = av_packet_alloc();
    v->scaler =
        sws_getContext(width, height, AV_PIX_FMT_RGB24, width, height, AV_PIX_FMT_YUV420P,
                       SWS_BICUBIC | SWS_ACCURATE_RND | SWS_BITEXACT, nullptr, nullptr, nullptr);
    if (!v->codec || !v->stream || !v->frame || !v->packet || !v->scaler) {
        error = "no video encoder for H.264 or MPEG-4 could be set up";
        freeEncoder(v);
        return nullptr;
    }
    v->codecName = std::string(v->codec->codec_id == AV_CODEC_ID_H264 ? "H.264" : "MPEG-4") + " (" +
                   v->codec->codec->name + ")";
    v->frame->format = AV_PIX_FMT_YUV420P;
    v->frame->width = width;
    v->frame->height = height;
    v->stream->time_base = framePeriod;
    v->stream->avg_frame_rate = v->stream->r_frame_rate = frameRate;
    AVDictionary* options = nullptr;
    av_dict_set(&options, "movflags", "+faststart", 0); // the index first: plays while loading
    if ((status = av_frame_get_buffer(v->frame, 0)) < 0 ||
        (status = avcodec_parameters_from_context(v->stream->codecpar, v->codec)) < 0 ||
        (status = avio_open(&v->format->pb, path.c_str(), AVIO_FLAG_WRITE)) < 0 ||
        (status = avformat_write_header(v->format, &options)) < 0) {
        error = describe("cannot start the video", status);
        av_dict_free(&options);
        freeEncoder(v);
        return nullptr;
    }
    av_dict_free(&options);
    return v;
}

bool addVideoFrame(VideoEncoder* v, const unsigned char* rgb, std::string& error) {
    const int status = av_frame_make_writable(v->frame);
    if (status < 0) {
        error = describe("cannot encode a frame", status);
        return false;
    }
    // From the top row down: GL's last row, with a negative stride.
    const int rowBytes = 3 * v->codec->width;
    const uint8_t* const top[] = {rgb + static_cast<size_t>(v->codec->height - 1) * rowBytes};
    const int strides[] = {-rowBytes};
    sws_scale(v->scaler, top, strides, 0, v->codec->height, v->frame->data, v->frame->linesize);
    v->frame->pts = v->nextFrame++;
    return encode(v, v->frame, error);
}

bool closeVideo(VideoEncoder* v, std::string& error) {
    bool complete = encode(v, nullptr, error);
    if (complete) {
        const int status = av_write_trailer(v->format);
        if (status < 0 || v->format->pb->error < 0) {
            error = describe("cannot write", status < 0 ? status : v->format->pb->error);
            complete = false;
        }
    }
    if (complete) {
        const int status = avio_closep(&v->format->pb);
        if (status < 0) {
            error = describe("cannot write", status);
            complete = false;
        }
    }
    freeEncoder(v);
    return complete;
}

std::string videoCodecName(const VideoEncoder* v) {
    return v->codecName;
}
