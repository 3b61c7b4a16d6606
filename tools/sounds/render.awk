# Small additive synthesiser for the game's sound clips.
#
# Reads a list of notes and writes the mixed result as a sox text (.dat)
# stream, peak-scaled to 0.9. Usage:
#   awk -v seed=N -f render.awk notes.txt > out.dat
#
# One note per line (blank lines and lines starting with # are skipped):
#   start dur kind shape freqs amp [att rel vr vd tr td q]
#
#   start, dur  seconds
#   kind   sine | bell | saw | square | pulse | noise | vA | vE | vI | vO | vU
#          (the v* kinds are a voice singing that vowel)
#   shape  s = sustained: attack, hold, release
#          d = decaying: attack, then an exponential fall to about -40 dB
#   freqs  one pitch in Hz, or breakpoints f1:f2:... spread evenly over the
#          note and joined by exponential glides. For noise: the centre of
#          the noise band (0 = plain white noise)
#   amp    linear level of the note in the mix
#   att, rel  attack and release in seconds (defaults 0.005 and 0.02)
#   vr, vd    vibrato rate in Hz and depth as a fraction of the pitch
#   tr, td    tremolo rate in Hz and depth (0..1)
#   q      noise: width of the band as a Q (default 1);
#          voices: formant scale, 1 = man, about 1.17 = woman, 1.3 = child

BEGIN {
    PI = 3.14159265358979
    if (!sr) sr = 22050
    srand(seed ? seed : 1)
    nyq = sr / 2
    total = 0
    # Formants (Hz) and their levels for the vowels of the v* kinds.
    vowel("A", 730, 1090, 2440, 1.0, 0.50, 0.25)
    vowel("E", 530, 1840, 2480, 1.0, 0.45, 0.30)
    vowel("I", 290, 2290, 3010, 1.0, 0.25, 0.20)
    vowel("O", 570, 840, 2410, 1.0, 0.45, 0.12)
    vowel("U", 300, 870, 2240, 1.0, 0.25, 0.08)
}

function vowel(v, f1, f2, f3, a1, a2, a3) {
    F[v, 1] = f1; F[v, 2] = f2; F[v, 3] = f3
    FA[v, 1] = a1; FA[v, 2] = a2; FA[v, 3] = a3
}

# Level of a voice harmonic at frequency h for vowel v, formants scaled by s.
function fweight(v, h, s,    k, w, d, bw) {
    w = 0.02
    for (k = 1; k <= 3; k++) {
        bw = (60 + 40 * k) * s
        d = (h - F[v, k] * s) / bw
        w += FA[v, k] / (1 + d * d)
    }
    return w
}

function expm(x) { return x < -700 ? 0 : exp(x) }

# Pitch at fraction x (0..1) of the note, from the breakpoints in P[1..np].
function pitch(x,    pos, i, fr) {
    if (np == 1) return P[1]
    pos = x * (np - 1)
    i = int(pos)
    if (i >= np - 1) return P[np]
    fr = pos - i
    return P[i + 1] * expm(fr * log(P[i + 2] / P[i + 1]))
}

function envelope(t, dur, shape, att, rel,    a, x) {
    if (t < att) {
        a = 0.5 - 0.5 * cos(PI * t / att)
    } else if (shape == "d") {
        a = expm(-4.6 * (t - att) / (dur - att))
    } else {
        a = 1
    }
    if (t > dur - rel) {
        x = (dur - t) / rel
        a *= (shape == "d") ? x : 0.5 - 0.5 * cos(PI * x)
    }
    return a
}

/^[ \t]*(#|$)/ { next }

{
    start = $1 + 0; dur = $2 + 0; kind = $3; shape = $4
    np = split($5, P, ":")
    amp = $6 + 0
    att = (NF >= 7) ? $7 + 0 : 0.005
    rel = (NF >= 8) ? $8 + 0 : 0.02
    vr = (NF >= 9) ? $9 + 0 : 0
    vd = (NF >= 10) ? $10 + 0 : 0
    tr = (NF >= 11) ? $11 + 0 : 0
    td = (NF >= 12) ? $12 + 0 : 0
    q = (NF >= 13) ? $13 + 0 : 1
    if (att <= 0) att = 0.001
    if (rel <= 0) rel = 0.001
    if (rel > dur) rel = dur
    if (att > dur - rel) att = dur - rel
    render()
}

function render(    i0, ns, i, t, x, f, ph, s, n, nh, a, v, voice, jit, tp,
                    fc, w0, alpha, b0, a0, a1, a2, x1, x2, y1, y2, y, xin, g, lim) {
    i0 = int(start * sr + 0.5)
    ns = int(dur * sr + 0.5)
    if (i0 + ns > total) total = i0 + ns
    ph = 0; jit = 0
    x1 = x2 = y1 = y2 = 0
    voice = (kind ~ /^v[AEIOU]$/)
    v = substr(kind, 2, 1)
    for (i = 0; i < ns; i++) {
        t = i / sr
        x = t / dur
        a = amp * envelope(t, dur, shape, att, rel)
        if (td > 0) a *= 1 - td * (0.5 - 0.5 * cos(2 * PI * tr * t))
        f = pitch(x)
        if (vd > 0) f *= 1 + vd * sin(2 * PI * vr * t)
        if (kind == "noise") {
            xin = rand() * 2 - 1
            if (f <= 0) {
                s = xin * 0.5
            } else {
                if (i % 32 == 0) {
                    fc = (f < nyq * 0.9) ? f : nyq * 0.9
                    w0 = 2 * PI * fc / sr
                    alpha = sin(w0) / (2 * q)
                    a0 = 1 + alpha
                    b0 = alpha / a0
                    a1 = -2 * cos(w0) / a0
                    a2 = (1 - alpha) / a0
                    # keep narrow bands about as loud as wide ones
                    g = sqrt(nyq / (fc / q)) * 0.5
                    if (g > 8) g = 8
                }
                y = b0 * xin - b0 * x2 - a1 * y1 - a2 * y2
                x2 = x1; x1 = xin; y2 = y1; y1 = y
                s = y * g
            }
        } else {
            if (voice) {
                # slow random wander of the pitch, as in a real voice
                jit = 0.997 * jit + 0.003 * (rand() * 2 - 1) * 6
                f *= 1 + 0.01 * jit
            }
            ph += 2 * PI * f / sr
            if (ph > 2 * PI * 1000) ph -= 2 * PI * 1000
            s = 0
            if (kind == "sine") {
                s = sin(ph)
            } else if (kind == "bell") {
                # harmonic partials plus one slightly sharp shimmer; the
                # upper ones die away faster
                s = sin(ph) + 0.45 * sin(2 * ph) * expm(-3 * x) \
                    + 0.22 * sin(3 * ph) * expm(-5 * x) \
                    + 0.12 * sin(4.17 * ph) * expm(-8 * x)
            } else {
                lim = voice ? 5500 * q : nyq * 0.85
                if (lim > nyq * 0.9) lim = nyq * 0.9
                nh = int(lim / f)
                if (nh < 1) nh = 1
                for (n = 1; n <= nh; n++) {
                    # fade the top harmonics out smoothly, so that a
                    # harmonic crossing the limit under vibrato does not click
                    tp = (lim - n * f) / (0.25 * lim)
                    if (tp > 1) tp = 1
                    if (kind == "saw") {
                        s += tp * sin(n * ph) / n
                    } else if (kind == "square") {
                        if (n % 2 == 1) s += tp * sin(n * ph) / n
                    } else if (kind == "pulse") {
                        s += tp * sin(PI * n * 0.2) * sin(n * ph) / n
                    } else if (voice) {
                        if (i % 64 == 0 || W[n] == "") W[n] = fweight(v, n * f, q) / n
                        s += tp * W[n] * sin(n * ph)
                    }
                }
                if (voice) s *= 2.5
            }
            s *= 0.6
        }
        buf[i0 + i] += a * s
    }
    if (voice) delete W
}

END {
    peak = 0
    for (i = 0; i < total; i++) {
        y = buf[i] + 0
        if (y < 0) y = -y
        if (y > peak) peak = y
    }
    k = (peak > 0) ? 0.9 / peak : 1
    print "; Sample Rate " sr
    print "; Channels 1"
    for (i = 0; i < total; i++) printf "%.6f %.6f\n", i / sr, (buf[i] + 0) * k
}
