// Writes the game's music: THUNDER2.wav (in-game theme), BADSONG1.wav (title),
// CREDITS.wav, CLEAR.wav (level-clear fanfare) and GAMEOVER.wav, all 22050 Hz
// 16-bit mono PCM.
//
//     make_sounds OUT_DIR
//
// Everything is synthesised here. The output must be the same bytes on every
// machine, so only + - * /, each rounded on its own (exact_double.h), and exact
// library calls (floor, ldexp, lround) are used: sine and exp are our own
// series. The four looping pieces are rendered into circular buffers - a note
// or echo running past the end of the loop comes back in at the start - so the
// joint is as smooth as any other moment.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "exact_double.h"

namespace {

constexpr int sample_rate = 22050;
constexpr double pi = 3.14159265358979323846;
constexpr double ln2 = 0.69314718055994530942;

// ---------------------------------------------------------------- arithmetic

// sin(2 pi cycles), from a Taylor series on [-pi/2, pi/2].
double sine(double cycles) {
    const double phase = cycles - std::floor(cycles);  // [0, 1)
    double x = (0.5 - phase) * 2.0 * pi;               // sin(2 pi phase) = sin(x)
    if (x > pi / 2) x = pi - x;
    if (x < -pi / 2) x = -pi - x;
    const double x2 = x * x;
    double term = x;
    double sum = x;
    for (int n = 1; n <= 7; ++n) {
        term *= -x2 / ((2.0 * n) * (2.0 * n + 1.0));
        sum += term;
    }
    return sum;
}

double exponential(double x) {
    if (x < -700.0) return 0.0;
    const double k = std::floor(x / ln2 + 0.5);
    const double r = x - k * ln2;  // |r| <= ln2 / 2
    double term = 1.0;
    double sum = 1.0;
    for (int n = 1; n <= 14; ++n) {
        term *= r / n;
        sum += term;
    }
    return std::ldexp(sum, static_cast<int>(k));
}

double note_frequency(double midi) { return 440.0 * exponential((midi - 69.0) / 12.0 * ln2); }

// The band-limiting correction that keeps saw and pulse edges free of aliasing.
double blep(double t, double dt) {
    if (t < dt) {
        t /= dt;
        return t + t - t * t - 1.0;
    }
    if (t > 1.0 - dt) {
        t = (t - 1.0) / dt;
        return t * t + t + t + 1.0;
    }
    return 0.0;
}

double saw(double phase, double dt) { return 2.0 * phase - 1.0 - blep(phase, dt); }

double pulse(double phase, double dt, double width) {
    double shifted = phase + 1.0 - width;
    shifted -= std::floor(shifted);
    return (phase < width ? 1.0 : -1.0) + blep(phase, dt) - blep(shifted, dt);
}

class Noise {
public:
    explicit Noise(uint32_t seed) : state_(seed) {}
    double next() {
        state_ = state_ * 1664525u + 1013904223u;
        return static_cast<double>(state_ >> 8) / 8388608.0 - 1.0;
    }

private:
    uint32_t state_;
};

// Two-pole state-variable filter; stable below about a sixth of the rate.
class Filter {
public:
    explicit Filter(double damping) : damping_(damping) {}
    void set_cutoff(double hz) {
        if (hz > 3600.0) hz = 3600.0;
        if (hz < 20.0) hz = 20.0;
        f_ = 2.0 * sine(hz / sample_rate / 2.0);
    }
    double low(double in) {
        step(in);
        return low_;
    }
    double high(double in) {
        step(in);
        return high_;
    }
    double band(double in) {
        step(in);
        return band_;
    }

private:
    void step(double in) {
        low_ += f_ * band_;
        high_ = in - low_ - damping_ * band_;
        band_ += f_ * high_;
    }
    double damping_;
    double f_ = 0.1;
    double low_ = 0.0;
    double band_ = 0.0;
    double high_ = 0.0;
};

// ---------------------------------------------------------------- buffers

// A bus. In a loop, writes past the end wrap to the start.
struct Track {
    std::vector<double> samples;
    bool loop = true;

    Track(size_t length, bool looping) : samples(length, 0.0), loop(looping) {}
    void add(long index, double value) {
        const long size = static_cast<long>(samples.size());
        if (loop) {
            index %= size;
            if (index < 0) index += size;
        } else if (index < 0 || index >= size) {
            return;
        }
        samples[static_cast<size_t>(index)] += value;
    }
    void mix(const Track& other, double gain) {
        for (size_t i = 0; i < samples.size(); ++i) samples[i] += other.samples[i] * gain;
    }
};

// Runs a stateful effect over a looping track until it has settled into its
// periodic state (three turns), or once over a one-shot track.
template <typename Effect>
void apply(Track& track, Effect effect) {
    const int turns = track.loop ? 3 : 1;
    std::vector<double> out(track.samples.size());
    for (int turn = 0; turn < turns; ++turn) {
        for (size_t i = 0; i < track.samples.size(); ++i) out[i] = effect(track.samples[i]);
    }
    track.samples = out;
}

// Feedback echo with a darkening repeat; `wet` of it joins the dry signal.
void echo(Track& track, int delay, double feedback, double wet) {
    std::vector<double> line(static_cast<size_t>(delay), 0.0);
    size_t at = 0;
    double tone = 0.0;
    apply(track, [&](double in) {
        const double repeat = line[at];
        tone += 0.45 * (repeat - tone);
        line[at] = in + tone * feedback;
        at = (at + 1) % line.size();
        return in + wet * repeat;
    });
}

// Chorus: two copies on slowly swinging delays. `cycles` whole LFO turns fit in
// the track, so the swing is at the same point at both ends of a loop.
void chorus(Track& track, double cycles, double wet) {
    const size_t size = 2048;
    std::vector<double> line(size, 0.0);
    size_t at = 0;
    size_t n = 0;
    const double length = static_cast<double>(track.samples.size());
    apply(track, [&](double in) {
        line[at] = in;
        const double lfo = cycles * static_cast<double>(n % track.samples.size()) / length;
        double sum = 0.0;
        for (int voice = 0; voice < 2; ++voice) {
            const double delay = 0.012 * sample_rate + 0.004 * sample_rate * sine(lfo + 0.25 * voice);
            const double back = static_cast<double>(at) + size - delay;
            const double whole = std::floor(back);
            const double frac = back - whole;
            const size_t i0 = static_cast<size_t>(whole) % size;
            const size_t i1 = (i0 + 1) % size;
            sum += line[i0] + frac * (line[i1] - line[i0]);
        }
        at = (at + 1) % size;
        ++n;
        return in * (1.0 - 0.5 * wet) + sum * 0.5 * wet;
    });
}

// A small room: four damped combs in parallel, then two all-passes.
void reverb(Track& track, double feedback, double wet) {
    struct Comb {
        std::vector<double> line;
        size_t at = 0;
        double store = 0.0;
    };
    struct AllPass {
        std::vector<double> line;
        size_t at = 0;
    };
    Comb combs[4] = {
        {std::vector<double>(557)}, {std::vector<double>(593)}, {std::vector<double>(641)}, {std::vector<double>(677)}};
    AllPass passes[2] = {{std::vector<double>(225)}, {std::vector<double>(170)}};
    apply(track, [&](double in) {
        double sum = 0.0;
        for (Comb& comb : combs) {
            const double out = comb.line[comb.at];
            comb.store = out * 0.7 + comb.store * 0.3;
            comb.line[comb.at] = in + comb.store * feedback;
            comb.at = (comb.at + 1) % comb.line.size();
            sum += out;
        }
        sum *= 0.25;
        for (AllPass& pass : passes) {
            const double delayed = pass.line[pass.at];
            pass.line[pass.at] = sum + delayed * 0.5;
            pass.at = (pass.at + 1) % pass.line.size();
            sum = delayed - sum;
        }
        return in + wet * sum;
    });
}

// ---------------------------------------------------------------- envelopes

// Attack, decay towards a sustain level, held for `hold` seconds, then a
// release that reaches exactly zero; every corner is continuous.
struct Envelope {
    double attack = 0.005;
    double decay = 0.2;
    double sustain = 0.7;
    double release = 0.08;

    double held_level(double t) const {
        if (t < attack) {
            const double u = t / attack;
            return u * u * (3.0 - 2.0 * u);
        }
        return sustain + (1.0 - sustain) * exponential(-(t - attack) / decay);
    }
    double level(double t, double hold) const {
        if (t < hold) return held_level(t);
        const double u = (t - hold) / release;
        if (u >= 1.0) return 0.0;
        return held_level(hold) * (1.0 - u) * (1.0 - u);
    }
    double length(double hold) const { return hold + release; }
};

// ---------------------------------------------------------------- instruments

struct Note {
    long start = 0;  // samples
    long hold = 0;   // samples
    double midi = 60.0;
    double velocity = 1.0;
};

double seconds(long samples) { return static_cast<double>(samples) / sample_rate; }

template <typename Voice>
void render(Track& track, const Note& note, const Envelope& envelope, Voice voice) {
    const double hold = seconds(note.hold);
    const long length = static_cast<long>(envelope.length(hold) * sample_rate) + 1;
    for (long i = 0; i < length; ++i) {
        const double t = seconds(i);
        track.add(note.start + i, note.velocity * envelope.level(t, hold) * voice(t));
    }
}

// A plucked saw bass with a sine underneath; the filter closes after the attack.
void bass(Track& track, const Note& note) {
    const Envelope envelope{0.004, 0.25, 0.75, 0.05};
    const double freq = note_frequency(note.midi);
    Filter filter(0.9);
    double phase = 0.0;
    render(track, note, envelope, [&](double t) {
        const double dt = freq / sample_rate;
        phase += dt;
        phase -= std::floor(phase);
        filter.set_cutoff(freq * 1.5 + 1400.0 * exponential(-t / 0.07));
        return 0.55 * filter.low(saw(phase, dt)) + 0.6 * sine(phase);
    });
}

// A round sine bass for the quiet pieces.
void soft_bass(Track& track, const Note& note) {
    const Envelope envelope{0.01, 0.4, 0.6, 0.12};
    const double freq = note_frequency(note.midi);
    render(track, note, envelope,
           [&](double t) { return sine(freq * t) + 0.25 * sine(2.0 * freq * t) * exponential(-t / 0.15); });
}

// The synth lead: saw and pulse, vibrato that creeps in after the attack.
void lead(Track& track, const Note& note) {
    const Envelope envelope{0.012, 0.3, 0.7, 0.12};
    const double freq = note_frequency(note.midi);
    Filter filter(0.7);
    double phase_a = 0.0;
    double phase_b = 0.37;
    render(track, note, envelope, [&](double t) {
        const double depth = t < 0.15 ? 0.0 : (t < 0.4 ? (t - 0.15) / 0.25 : 1.0);
        const double bend = 1.0 + 0.009 * depth * sine(5.5 * t);
        const double dt = freq * bend / sample_rate;
        phase_a += dt;
        phase_a -= std::floor(phase_a);
        phase_b += dt * 1.003;
        phase_b -= std::floor(phase_b);
        filter.set_cutoff(1800.0 + 1200.0 * exponential(-t / 0.1));
        return filter.low(0.5 * saw(phase_a, dt) + 0.4 * pulse(phase_b, dt, 0.3));
    });
}

// Brass: a filter that opens with the swell of the note, a small scoop up into
// the pitch and, when asked, a vibrato that widens the longer the note is held.
void brass(Track& track, const Note& note, double attack, double vibrato = 0.0) {
    const Envelope envelope{attack, 0.5, 0.8, 0.15};
    const double freq = note_frequency(note.midi);
    Filter filter(1.1);
    double phase_a = 0.0;
    double phase_b = 0.5;
    render(track, note, envelope, [&](double t) {
        const double scoop = 1.0 - 0.02 * exponential(-t / 0.03);
        const double waver = 1.0 + vibrato * (t > 0.3 ? t - 0.3 : 0.0) * sine(5.0 * t);
        const double dt = freq * scoop * waver / sample_rate;
        phase_a += dt;
        phase_a -= std::floor(phase_a);
        phase_b += dt * 0.996;
        phase_b -= std::floor(phase_b);
        const double swell = t < attack ? t / attack : 1.0;
        filter.set_cutoff(freq * (1.5 + 2.5 * swell) + 300.0);
        return filter.low(0.5 * saw(phase_a, dt) + 0.5 * saw(phase_b, dt));
    });
}

// Strings-like pad: three detuned saws, slow to rise and to fall.
void pad(Track& track, const Note& note, double attack, double brightness) {
    const Envelope envelope{attack, 1.0, 0.85, 0.6};
    const double freq = note_frequency(note.midi);
    Filter filter(1.0);
    filter.set_cutoff(brightness);
    double phases[3] = {0.0, 0.31, 0.67};
    const double detune[3] = {1.0, 1.0047, 0.9952};
    render(track, note, envelope, [&](double) {
        double sum = 0.0;
        for (int i = 0; i < 3; ++i) {
            const double dt = freq * detune[i] / sample_rate;
            phases[i] += dt;
            phases[i] -= std::floor(phases[i]);
            sum += saw(phases[i], dt);
        }
        return filter.low(sum / 3.0);
    });
}

// A struck bar: a few sine partials, the upper ones dying first.
void mallet(Track& track, const Note& note) {
    const Envelope envelope{0.002, 0.5, 0.0, 0.05};
    const double freq = note_frequency(note.midi);
    render(track, note, envelope, [&](double t) {
        return sine(freq * t) + 0.35 * sine(4.0 * freq * t) * exponential(-t / 0.06) +
               0.12 * sine(9.9 * freq * t) * exponential(-t / 0.02);
    });
}

// An FM bell: the modulation index falls away, leaving a near-pure tone.
void bell(Track& track, const Note& note) {
    const Envelope envelope{0.002, 0.9, 0.0, 0.3};
    const double freq = note_frequency(note.midi);
    render(track, note, envelope, [&](double t) {
        const double index = 2.0 * exponential(-t / 0.25);
        return sine(freq * t + index * sine(3.5 * freq * t) / (2.0 * pi));
    });
}

// ---------------------------------------------------------------- drums

void kick(Track& track, long at, double velocity) {
    const long length = static_cast<long>(0.35 * sample_rate);
    double phase = 0.0;
    for (long i = 0; i < length; ++i) {
        const double t = seconds(i);
        phase += (48.0 + 110.0 * exponential(-t / 0.035)) / sample_rate;
        const double body = sine(phase) * exponential(-t / 0.12);
        const double fade = i > length - 200 ? static_cast<double>(length - i) / 200.0 : 1.0;
        const double attack = i < 30 ? static_cast<double>(i) / 30.0 : 1.0;
        track.add(at + i, velocity * attack * fade * body);
    }
}

void snare(Track& track, long at, double velocity, uint32_t seed) {
    const long length = static_cast<long>(0.22 * sample_rate);
    Noise noise(seed);
    Filter filter(0.8);
    filter.set_cutoff(3000.0);
    for (long i = 0; i < length; ++i) {
        const double t = seconds(i);
        const double rattle = filter.band(noise.next()) * exponential(-t / 0.06);
        const double tone = sine(185.0 * t) * exponential(-t / 0.04);
        const double fade = i > length - 200 ? static_cast<double>(length - i) / 200.0 : 1.0;
        const double attack = i < 20 ? static_cast<double>(i) / 20.0 : 1.0;
        track.add(at + i, velocity * attack * fade * (0.9 * rattle + 0.5 * tone));
    }
}

void hat(Track& track, long at, double velocity, double decay, uint32_t seed) {
    const long length = static_cast<long>(decay * 6.0 * sample_rate);
    Noise noise(seed);
    Filter filter(0.6);
    filter.set_cutoff(3600.0);
    for (long i = 0; i < length; ++i) {
        const double t = seconds(i);
        const double fade = static_cast<double>(length - i) / static_cast<double>(length);
        const double attack = i < 10 ? static_cast<double>(i) / 10.0 : 1.0;
        track.add(at + i, velocity * attack * fade * filter.high(noise.next()) * exponential(-t / decay));
    }
}

void timpani(Track& track, long at, double midi, double velocity) {
    const long length = static_cast<long>(1.6 * sample_rate);
    const double freq = note_frequency(midi);
    Noise noise(77u);
    Filter filter(0.5);
    filter.set_cutoff(freq * 3.0);
    double phase = 0.0;
    for (long i = 0; i < length; ++i) {
        const double t = seconds(i);
        phase += freq * (1.0 + 0.08 * exponential(-t / 0.05)) / sample_rate;
        const double body = (sine(phase) + 0.3 * sine(1.5 * phase)) * exponential(-t / 0.45);
        const double thud = filter.low(noise.next()) * exponential(-t / 0.03);
        const double fade = static_cast<double>(length - i) / static_cast<double>(length);
        const double attack = i < 40 ? static_cast<double>(i) / 40.0 : 1.0;
        track.add(at + i, velocity * attack * fade * (body + 0.6 * thud));
    }
}

void cymbal(Track& track, long at, double velocity) { hat(track, at, velocity, 0.45, 991u); }

// ---------------------------------------------------------------- notation

int note_number(const std::string& name) {
    static const int steps[7] = {9, 11, 0, 2, 4, 5, 7};  // A B C D E F G
    int number = steps[name[0] - 'A'];
    size_t at = 1;
    if (name[at] == '#') {
        ++number;
        ++at;
    } else if (name[at] == 'b') {
        --number;
        ++at;
    }
    return number + 12 * (name[at] - '0' + 1);
}

// A line such as "E4:3 G4:3 R:2": note names (R is a rest) with lengths in
// sixteenths, played one after the other from sixteenth `from`.
std::vector<Note> phrase(const std::string& text, long sixteenth, long from, double velocity) {
    std::vector<Note> notes;
    long at = from;
    size_t i = 0;
    while (i < text.size()) {
        if (text[i] == ' ') {
            ++i;
            continue;
        }
        const size_t colon = text.find(':', i);
        size_t end = text.find(' ', colon);
        if (end == std::string::npos) end = text.size();
        const std::string name = text.substr(i, colon - i);
        const long length = std::stol(text.substr(colon + 1, end - colon - 1));
        if (name != "R")
            notes.push_back({at * sixteenth, length * sixteenth, static_cast<double>(note_number(name)), velocity});
        at += length;
        i = end;
    }
    return notes;
}

// Chord tones held for `length` sixteenths from `from`.
std::vector<Note> chord(const std::string& names, long sixteenth, long from, long length, double velocity) {
    std::vector<Note> notes;
    size_t i = 0;
    while (i < names.size()) {
        size_t end = names.find(' ', i);
        if (end == std::string::npos) end = names.size();
        if (end > i) {
            notes.push_back({from * sixteenth, length * sixteenth,
                             static_cast<double>(note_number(names.substr(i, end - i))), velocity});
        }
        i = end + 1;
    }
    return notes;
}

// ---------------------------------------------------------------- output

std::vector<int16_t> finish(const Track& track, double peak_level) {
    double peak = 0.0;
    for (double s : track.samples) peak = std::fabs(s) > peak ? std::fabs(s) : peak;
    const double gain = peak > 0.0 ? peak_level * 32767.0 / peak : 0.0;
    std::vector<int16_t> out;
    out.reserve(track.samples.size());
    for (double s : track.samples) out.push_back(static_cast<int16_t>(std::lround(s * gain)));
    return out;
}

void put16(std::string& bytes, uint32_t value) {
    bytes.push_back(static_cast<char>(value & 0xFF));
    bytes.push_back(static_cast<char>((value >> 8) & 0xFF));
}

void put32(std::string& bytes, uint32_t value) {
    put16(bytes, value & 0xFFFF);
    put16(bytes, value >> 16);
}

bool write_wav(const std::string& path, const std::vector<int16_t>& samples) {
    const uint32_t data_size = static_cast<uint32_t>(samples.size() * 2);
    std::string bytes = "RIFF";
    put32(bytes, 36 + data_size);
    bytes += "WAVEfmt ";
    put32(bytes, 16);
    put16(bytes, 1);  // PCM
    put16(bytes, 1);  // mono
    put32(bytes, sample_rate);
    put32(bytes, sample_rate * 2);
    put16(bytes, 2);
    put16(bytes, 16);
    bytes += "data";
    put32(bytes, data_size);
    for (int16_t s : samples) put16(bytes, static_cast<uint16_t>(s));
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) return false;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && written;
}

// ---------------------------------------------------------------- the pieces

// In-game theme: E minor at 150 beats a minute, eight bars. Four-on-the-floor
// drums, a galloping bass, a pad and a synth lead with a dotted-eighth echo.
Track thunder() {
    const long sixteenth = 2205;
    const long bar = 16;
    const long bars = 8;
    const size_t length = static_cast<size_t>(bars * bar * sixteenth);
    Track drums(length, true);
    Track low(length, true);
    Track pads(length, true);
    Track melody(length, true);

    const char* roots[8] = {"E2", "E2", "C2", "D2", "E2", "E2", "C2", "B1"};
    const char* chords[8] = {"E3 G3 B3", "E3 G3 B3", "E3 G3 C4", "D3 F#3 A3",
                             "E3 G3 B3", "E3 G3 B3", "E3 G3 C4", "D#3 F#3 B3"};
    for (long b = 0; b < bars; ++b) {
        const long start = b * bar;
        const int root = note_number(roots[b]);
        // Eighth, two sixteenths; the last beat jumps an octave.
        for (long beat = 0; beat < 4; ++beat) {
            const double up = beat == 3 ? 12.0 : 0.0;
            const long at = (start + beat * 4) * sixteenth;
            bass(low, {at, sixteenth * 2 - 300, root + up, 1.0});
            bass(low, {at + 2 * sixteenth, sixteenth - 300, root + up, 0.8});
            bass(low, {at + 3 * sixteenth, sixteenth - 300, root + 12.0, 0.85});
        }
        for (const Note& note : chord(chords[b], sixteenth, start, bar - 1, 0.5)) pad(pads, note, 0.15, 1500.0);

        for (long beat = 0; beat < 4; ++beat) {
            const long at = (start + beat * 4) * sixteenth;
            kick(drums, at, 1.0);
            if (beat % 2 == 1) snare(drums, at, 0.75, static_cast<uint32_t>(b * 4 + beat + 1));
            hat(drums, at + 2 * sixteenth, 0.3, 0.03, static_cast<uint32_t>(100 + b * 4 + beat));
            hat(drums, at, 0.15, 0.015, static_cast<uint32_t>(200 + b * 4 + beat));
        }
        if (b % 4 == 3) hat(drums, (start + 14) * sixteenth, 0.3, 0.12, 300u + static_cast<uint32_t>(b));
        if (b == 0 || b == 4) cymbal(drums, start * sixteenth, 0.35);
        if (b == 2 || b == 6) kick(drums, (start + 10) * sixteenth, 0.7);
    }
    // A snare run leads back into the top of the loop.
    for (long i = 0; i < 4; ++i) {
        snare(drums, (7 * bar + 12 + i) * sixteenth, 0.35 + 0.12 * static_cast<double>(i),
              500u + static_cast<uint32_t>(i));
    }

    const std::string tune =
        "E4:3 G4:3 B4:2 E5:4 D5:2 B4:2 "
        "D5:3 B4:3 G4:2 A4:6 B4:2 "
        "C5:3 B4:3 G4:2 E5:4 G5:4 "
        "F#5:6 E5:2 D5:4 A4:4 "
        "E5:3 G5:3 F#5:2 E5:4 B4:4 "
        "D5:2 E5:2 D5:2 B4:2 G4:4 B4:4 "
        "C5:3 D5:3 E5:2 G5:4 E5:4 "
        "F#5:8 D#5:4 B4:4";
    for (Note note : phrase(tune, sixteenth, 0, 1.0)) {
        note.hold -= 400;  // a breath between notes
        lead(melody, note);
    }
    echo(melody, static_cast<int>(3 * sixteenth), 0.35, 0.4);
    chorus(pads, 8.0, 0.8);

    Track mix(length, true);
    mix.mix(drums, 0.75);
    mix.mix(low, 0.5);
    mix.mix(pads, 0.3);
    mix.mix(melody, 0.42);
    reverb(mix, 0.7, 0.18);
    return mix;
}

// Title theme: D minor at 105 beats a minute, eight bars in a slow half-time.
// A wide string pad, deep bass, timpani, a brass line and a quiet bell figure
// with a long echo, all in a room.
Track title() {
    const long sixteenth = 3150;
    const long bar = 16;
    const long bars = 8;
    const size_t length = static_cast<size_t>(bars * bar * sixteenth);
    Track strings(length, true);
    Track low(length, true);
    Track drums(length, true);
    Track horns(length, true);
    Track bells(length, true);

    const char* roots[8] = {"D2", "Bb1", "F2", "C2", "G1", "Bb1", "A1", "A1"};
    const char* chords[8] = {"D3 F3 A3 D4",  "D3 F3 Bb3 D4", "C3 F3 A3 C4",   "C3 E3 G3 C4",
                             "D3 G3 Bb3 D4", "D3 F3 Bb3 D4", "C#3 E3 A3 C#4", "E3 A3 C#4 E4"};
    const int arpeggio[8] = {0, 3, 7, 12, 7, 3, 0, 3};
    const int thirds[8] = {3, 4, 4, 4, 3, 4, 4, 4};
    for (long b = 0; b < bars; ++b) {
        const long start = b * bar;
        const int root = note_number(roots[b]);
        soft_bass(low, {start * sixteenth, 8 * sixteenth - 600, static_cast<double>(root), 1.0});
        soft_bass(low, {(start + 8) * sixteenth, 8 * sixteenth - 600, static_cast<double>(root), 0.8});
        for (const Note& note : chord(chords[b], sixteenth, start, bar, 0.5)) pad(strings, note, 0.6, 1100.0);
        timpani(drums, start * sixteenth, root + 12.0, b % 2 == 0 ? 1.0 : 0.7);
        // Bells climb the chord in eighths two octaves up.
        for (long step = 0; step < 8; ++step) {
            int interval = arpeggio[step];
            if (interval == 3) interval = thirds[b];
            const double midi = root + 36.0 + interval;
            bell(bells, {(start + step * 2) * sixteenth, sixteenth, midi, step % 2 == 0 ? 0.9 : 0.6});
        }
    }
    // A timpani roll swells into the top of the loop.
    for (long i = 0; i < 16; ++i) {
        timpani(drums, (7 * bar + i) * sixteenth, note_number("A2"), 0.15 + 0.04 * static_cast<double>(i));
    }
    cymbal(drums, 0, 0.4);

    const std::string tune =
        "D5:12 E5:2 F5:2 "
        "F5:8 D5:8 "
        "C5:12 A4:4 "
        "G4:8 E5:8 "
        "D5:6 Bb4:2 G4:8 "
        "F5:6 D5:2 Bb4:8 "
        "C#5:8 E5:8 "
        "A4:16";
    for (Note note : phrase(tune, sixteenth, 0, 1.0)) {
        note.hold -= 500;
        brass(horns, note, 0.09);
    }
    chorus(strings, 4.0, 1.0);
    echo(bells, static_cast<int>(3 * sixteenth), 0.5, 0.6);
    echo(horns, static_cast<int>(6 * sixteenth), 0.25, 0.25);

    Track mix(length, true);
    mix.mix(strings, 0.45);
    mix.mix(low, 0.5);
    mix.mix(drums, 0.55);
    mix.mix(horns, 0.45);
    mix.mix(bells, 0.12);
    reverb(mix, 0.82, 0.35);
    return mix;
}

// Credits: a waltz in G major at 126 beats a minute, eight bars of three. Bass on
// one, soft mallet chords on two and three, a mallet tune with an echo.
Track credits() {
    const long sixteenth = 2625;
    const long bar = 12;
    const long bars = 8;
    const size_t length = static_cast<size_t>(bars * bar * sixteenth);
    Track low(length, true);
    Track comp(length, true);
    Track tune_track(length, true);
    Track ticks(length, true);

    const char* roots[8] = {"G2", "E2", "C2", "D2", "G2", "E2", "A2", "D2"};
    const char* chords[8] = {"G3 B3 D4", "G3 B3 E4", "G3 C4 E4", "F#3 A3 D4",
                             "G3 B3 D4", "G3 B3 E4", "A3 C4 E4", "F#3 A3 C4"};
    for (long b = 0; b < bars; ++b) {
        const long start = b * bar;
        soft_bass(low, {start * sixteenth, 4 * sixteenth - 500, static_cast<double>(note_number(roots[b])), 1.0});
        for (long beat = 1; beat < 3; ++beat) {
            for (const Note& note : chord(chords[b], sixteenth, start + beat * 4, 3, 0.6)) mallet(comp, note);
            hat(ticks, (start + beat * 4) * sixteenth, 0.25, 0.02, 700u + static_cast<uint32_t>(b * 3 + beat));
        }
        hat(ticks, (start + 10) * sixteenth, 0.12, 0.015, 800u + static_cast<uint32_t>(b));
    }
    const std::string tune =
        "D5:4 G5:4 B5:4 "
        "B5:6 A5:2 G5:4 "
        "G5:4 E5:4 C5:4 "
        "D5:8 F#5:4 "
        "G5:4 B5:4 D6:4 "
        "E6:6 D6:2 B5:4 "
        "C6:4 A5:4 E5:4 "
        "A5:6 F#5:2 E5:4";
    for (const Note& note : phrase(tune, sixteenth, 0, 1.0)) mallet(tune_track, note);
    // The same tune an octave down, softer, for body.
    for (Note note : phrase(tune, sixteenth, 0, 0.35)) {
        note.midi -= 12.0;
        mallet(tune_track, note);
    }
    echo(tune_track, static_cast<int>(3 * sixteenth), 0.3, 0.35);
    chorus(comp, 6.0, 0.7);

    Track mix(length, true);
    mix.mix(low, 0.45);
    mix.mix(comp, 0.3);
    mix.mix(tune_track, 0.5);
    mix.mix(ticks, 0.35);
    reverb(mix, 0.75, 0.25);
    return mix;
}

// Level clear: a two-bar brass fanfare in C at 150 beats a minute, harmonised
// in thirds over a marching bass, timpani and a snare roll back to the top.
Track fanfare() {
    const long sixteenth = 2205;
    const long bar = 16;
    const size_t length = static_cast<size_t>(2 * bar * sixteenth);
    Track horns(length, true);
    Track low(length, true);
    Track drums(length, true);

    const std::string top = "C5:2 C5:1 C5:1 C5:2 E5:2 G5:4 E5:2 G5:2 C6:6 B5:2 A5:2 B5:2 C6:4";
    const std::string under = "G4:2 G4:1 G4:1 G4:2 C5:2 E5:4 C5:2 E5:2 A5:6 G5:2 F5:2 G5:2 E5:4";
    for (Note note : phrase(top, sixteenth, 0, 1.0)) {
        note.hold -= 350;
        brass(horns, note, 0.025);
    }
    for (Note note : phrase(under, sixteenth, 0, 0.7)) {
        note.hold -= 350;
        brass(horns, note, 0.025);
    }
    const std::string bass_line = "C2:2 C2:2 C2:2 C2:2 G1:2 G1:2 C2:2 C2:2 F2:2 F2:2 F2:2 F2:2 G2:2 G2:2 C2:2 C2:2";
    for (Note note : phrase(bass_line, sixteenth, 0, 1.0)) {
        note.hold -= 400;
        bass(low, note);
    }
    for (long beat = 0; beat < 8; ++beat) {
        const long at = beat * 4 * sixteenth;
        kick(drums, at, 0.8);
        if (beat % 2 == 1) snare(drums, at, 0.6, 900u + static_cast<uint32_t>(beat));
    }
    timpani(drums, 0, note_number("C3"), 1.0);
    timpani(drums, 24 * sixteenth, note_number("G2"), 0.8);
    cymbal(drums, 0, 0.45);
    for (long i = 0; i < 4; ++i) {
        snare(drums, (28 + i) * sixteenth, 0.3 + 0.12 * static_cast<double>(i), 950u + static_cast<uint32_t>(i));
    }
    echo(horns, static_cast<int>(3 * sixteenth), 0.2, 0.2);

    Track mix(length, true);
    mix.mix(horns, 0.5);
    mix.mix(low, 0.4);
    mix.mix(drums, 0.6);
    reverb(mix, 0.78, 0.3);
    return mix;
}

// Game over, played once: four falling brass notes over a sinking bass that
// settle on A minor, then silence.
Track game_over() {
    const long sixteenth = 3675;
    const size_t length = static_cast<size_t>(22 * sixteenth);
    Track horns(length, false);
    Track low(length, false);
    Track drums(length, false);

    // The long last chord wavers more and more as it fades.
    for (Note note : phrase("G4:3 F#4:3 F4:3 E4:11", sixteenth, 0, 1.0)) {
        note.hold -= 600;
        brass(horns, note, 0.05, 0.012);
    }
    for (Note note : phrase("Eb4:3 D4:3 Db4:3 C4:11", sixteenth, 0, 0.6)) {
        note.hold -= 600;
        brass(horns, note, 0.05, 0.012);
    }
    for (Note note : phrase("C3:3 B2:3 Bb2:3 A2:11", sixteenth, 0, 1.0)) {
        note.hold -= 600;
        soft_bass(low, note);
    }
    timpani(drums, 9 * sixteenth, note_number("A2"), 0.8);

    Track mix(length, false);
    mix.mix(horns, 0.5);
    mix.mix(low, 0.5);
    mix.mix(drums, 0.4);
    echo(mix, static_cast<int>(3 * sixteenth), 0.25, 0.25);
    reverb(mix, 0.75, 0.3);
    const size_t fade = static_cast<size_t>(0.4 * sample_rate);
    for (size_t i = 0; i < fade; ++i) {
        const double u = static_cast<double>(i) / static_cast<double>(fade);
        mix.samples[length - fade + i] *= (1.0 - u) * (1.0 - u);
    }
    return mix;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_sounds OUT_DIR\n");
        return 2;
    }
    if (!exact_double::rounded_as_written()) {
        std::fprintf(stderr, "make_sounds: built with fused or widened doubles; see tools/CMakeLists.txt\n");
        return 1;
    }
    const std::string dir = std::string(argv[1]) + "/";
    struct Piece {
        const char* name;
        Track (*make)();
    };
    const Piece pieces[] = {
        {"THUNDER2", thunder}, {"BADSONG1", title}, {"CREDITS", credits}, {"CLEAR", fanfare}, {"GAMEOVER", game_over},
    };
    for (const Piece& piece : pieces) {
        const std::string path = dir + piece.name + ".wav";
        // Just under full scale leaves room for the resampling on playback.
        if (!write_wav(path, finish(piece.make(), 0.89))) {
            std::fprintf(stderr, "make_sounds: cannot write %s\n", path.c_str());
            return 1;
        }
    }
    return 0;
}
