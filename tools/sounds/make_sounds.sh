#!/usr/bin/env bash
# Makes the game's WAVE clips from nothing but espeak-ng, sox and awk:
# the event cues (ENTERED, TURN, CAT0..CAT6, PASS, NOANSWER, CORRECT,
# GAMEOVER) and the twenty chatter sounds (WAVE1..WAVE20).
#
#   tools/sounds/make_sounds.sh [output folder]    (default: assets/sounds)
#
# Every clip is PCM WAVE, mono, 16-bit, 22050 Hz, peak-normalised to -1 dBFS.
# The run is repeatable: sox runs in repeatable mode without dither and the
# synthesiser (render.awk) uses fixed random seeds, so the same tools give
# the same bytes.
set -euo pipefail
export LC_ALL=C

HERE=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
OUT=${1:-$HERE/../../assets/sounds}
SR=22050

for tool in espeak-ng sox awk; do
    command -v "$tool" >/dev/null || { echo "make_sounds: $tool is missing" >&2; exit 1; }
done

mkdir -p "$OUT"
OUT=$(cd "$OUT" && pwd)
TMP=$(mktemp -d)
trap 'rm -rf "$TMP"' EXIT

# Working files are 32-bit float, but sox still clips at full scale inside
# an effects chain, so filters and reverb get 6 dB of headroom first; the
# final level is set at the end.
SOX=(sox -R -D -V2)
WORK=(-r "$SR" -c 1 -e floating-point -b 32)

# render NAME SEED < notes  ->  $TMP/NAME.wav  (see render.awk for the notes)
render() {
    awk -v sr="$SR" -v seed="$2" -f "$HERE/render.awk" >"$TMP/$1.dat"
    "${SOX[@]}" "$TMP/$1.dat" "${WORK[@]}" "$TMP/$1.wav"
}

# speak NAME VOICE SPEED PITCH TEXT  ->  $TMP/NAME.wav, silence trimmed.
# TEXT may hold SSML markup.
speak() {
    espeak-ng -m -v "$2" -s "$3" -p "$4" -w "$TMP/$1.raw.wav" "$5"
    "${SOX[@]}" "$TMP/$1.raw.wav" "${WORK[@]}" "$TMP/$1.wav" \
        silence 1 0.005 -48d reverse silence 1 0.005 -48d reverse
}

# fx NAME EFFECT...  ->  applies sox effects to $TMP/NAME.wav in place
fx() {
    local name=$1
    shift
    "${SOX[@]}" "$TMP/$name.wav" "${WORK[@]}" "$TMP/$name.fx.wav" gain -6 "$@"
    mv "$TMP/$name.fx.wav" "$TMP/$name.wav"
}

# mix NAME PART OFFSET GAIN [PART OFFSET GAIN]...  ->  $TMP/NAME.wav
# Lays the parts over each other, each starting OFFSET seconds in.
mix() {
    local name=$1
    shift
    local inputs=()
    while (($# >= 3)); do
        inputs+=(-v "$3" "|sox -R -D -V2 $TMP/$1.wav -p pad $2")
        shift 3
    done
    "${SOX[@]}" -m "${inputs[@]}" "${WORK[@]}" "$TMP/$name.wav"
}

# finish NAME CLIP [EFFECT...]  ->  $OUT/CLIP.wav: the effects, fades (short
# ones against clicks unless FADE_IN / FADE_OUT say otherwise), the peak set
# to -1 dBFS, then the final format. Dense, sustained sounds would still be
# much louder than speech at that peak, so their RMS is held to -14 dBFS.
finish() {
    local name=$1 clip=$2
    shift 2
    local len rms cut
    "${SOX[@]}" "$TMP/$name.wav" "${WORK[@]}" "$TMP/$name.fin.wav" gain -6 "$@"
    len=$(soxi -D "$TMP/$name.fin.wav")
    "${SOX[@]}" "$TMP/$name.fin.wav" "${WORK[@]}" "$TMP/$name.lev.wav" \
        fade t "${FADE_IN:-0.002}" "$len" "${FADE_OUT:-0.015}" gain -n -1
    rms=$(sox "$TMP/$name.lev.wav" -n stat 2>&1 | awk '/^RMS +amplitude/ { print $3 }')
    cut=$(awk -v r="$rms" 'BEGIN { c = r > 0 ? 20 * log(0.2 / r) / log(10) : 0; printf "%.2f", c < 0 ? c : 0 }')
    "${SOX[@]}" "$TMP/$name.lev.wav" -r "$SR" -c 1 -e signed-integer -b 16 \
        "$OUT/$clip.wav" gain "$cut"
}

# A spoken clip and nothing else.
say() {
    local clip=$1
    shift
    speak "$clip" "$@"
    finish "$clip" "$clip"
}

# Claps for the crowd sounds: COUNT claps spread over LEN seconds, LEVEL loud.
claps() {
    awk -v n="$1" -v len="$2" -v level="$3" -v seed="$4" 'BEGIN {
        srand(seed)
        for (i = 0; i < n; i++)
            printf "%.4f %.3f noise d %d %.3f 0.001 0.008 0 0 0 0 %.2f\n",
                rand() * len, 0.045 + rand() * 0.035, 900 + rand() * 1500,
                level * (0.4 + rand() * 0.6), 1.2 + rand() * 1.8
    }'
}

############################################################################
# Event cues

# ENTERED: a two-tone door chime.
render ding 11 <<'EOF'
0    0.75 bell d 659.26 1.0 0.004
0.30 0.85 bell d 523.25 1.0 0.004
EOF
finish ding ENTERED

# TURN: a rising chime and "Your turn!".
render turnchime 12 <<'EOF'
0    0.45 bell d 783.99  0.9 0.003
0.09 0.50 bell d 1046.50 0.9 0.003
EOF
speak turnvoice en-us 160 55 "Your turn!"
mix turn turnchime 0 0.6 turnvoice 0.30 0.9
finish turn TURN

# CAT0..CAT6: the category names.
cats=("General" "Actions" "Phrase" "Music groups" "Movies" "TV shows" "Food and drink")
for i in "${!cats[@]}"; do
    say "CAT$i" en-us 155 50 "${cats[$i]}"
done

# PASS: a swish downwards and "Pass!".
render swish 13 <<'EOF'
0    0.32 noise s 3500:700 1.0 0.06 0.12 0 0 0 0 2.5
0.02 0.26 sine  s 900:330   0.25 0.02 0.08
EOF
speak passvoice en-us 160 50 "Pass!"
mix pass swish 0 0.4 passvoice 0.28 0.9
finish pass PASS

# NOANSWER: a buzzer and "Time's up!".
render buzzer 14 <<'EOF'
0 0.55 square s 110 0.6 0.01 0.04
0 0.55 square s 116 0.6 0.01 0.04
EOF
fx buzzer lowpass 2500 highpass 80
speak timeup en-us 160 45 "Time's up!"
mix noanswer buzzer 0 0.35 timeup 0.62 0.9
finish noanswer NOANSWER

# CORRECT: a bright rising run of bells.
render correct 15 <<'EOF'
0    0.55 bell d 1046.50 0.80 0.003
0.08 0.55 bell d 1318.51 0.75 0.003
0.16 0.55 bell d 1567.98 0.70 0.003
0.24 0.70 bell d 2093.00 0.75 0.003
EOF
finish correct CORRECT

# GAMEOVER: a brass fanfare, ta-ta-ta-taa ... ta-taaa.
render fanfare 16 <<'EOF'
0.00 0.13 saw s 392.00 0.8 0.02 0.04
0.15 0.13 saw s 392.00 0.8 0.02 0.04
0.30 0.13 saw s 392.00 0.8 0.02 0.04
0.45 0.40 saw s 523.25 0.9 0.025 0.08 5.5 0.005
0.87 0.13 saw s 392.00 0.8 0.02 0.04
1.02 0.85 saw s 523.25 0.8 0.03 0.30 5.5 0.007
1.02 0.85 saw s 659.26 0.6 0.03 0.30 5.0 0.007
1.02 0.85 saw s 783.99 0.5 0.03 0.30 6.0 0.007
1.02 0.85 saw s 261.63 0.5 0.03 0.30
EOF
finish fanfare GAMEOVER lowpass 3200 equalizer 1200 1.5q 3 pad 0 0.12 reverb 30 50 40

############################################################################
# Chatter sounds

# WAVE1 "Doh"
say WAVE1 en-us+m3 130 30 '<prosody range="x-high">Doh!</prosody>'

# WAVE2 "Cough": two short bursts of rough breath with a grunt in them.
render WAVE2 21 <<'EOF'
0.00 0.22 noise d 1200 1.0  0.006 0.02 0 0 0 0 0.6
0.00 0.12 noise d 300  0.5  0.004 0.02 0 0 0 0 1.0
0.01 0.15 vA    d 190:150 0.7 0.01 0.03 0 0 0 0 1.0
0.30 0.20 noise d 1100 0.8  0.006 0.02 0 0 0 0 0.6
0.30 0.11 noise d 300  0.4  0.004 0.02 0 0 0 0 1.0
0.31 0.13 vA    d 180:140 0.55 0.01 0.03 0 0 0 0 1.0
EOF
finish WAVE2 WAVE2 highpass 120 lowpass 5000

# WAVE3 "Hello"
say WAVE3 en-us 150 55 "Hello!"

# WAVE4 "Thank You"
say WAVE4 en-us+f3 150 55 "Thank you!"

# WAVE5 "Where have you been?"
say WAVE5 en-us 160 50 "Where have you been?"

# WAVE6 "Snoring": a rattling snore in, a soft breath out.
render snorein 22 <<'EOF'
0 1.0 noise s 450:600 1.0 0.35 0.2 0 0 31 0.85 0.9
0 1.0 pulse s 31:34   0.5 0.35 0.2
EOF
fx snorein lowpass 1400
render snoreout 23 <<'EOF'
0    0.65 noise s 1800:1100 0.5  0.10 0.35 0 0 0 0 0.8
0.05 0.50 sine  s 1300:1050  0.03 0.10 0.30
EOF
fx snoreout lowpass 3500
mix WAVE6 snorein 0 0.8 snoreout 1.12 0.2
finish WAVE6 WAVE6

# WAVE7 "Sneezing": ah ... ah ... choo!
render WAVE7 24 <<'EOF'
0.00 0.28 vA    s 240:300 0.45 0.06 0.08 0 0 0 0 1.1
0.00 0.28 noise s 1500    0.12 0.06 0.08 0 0 0 0 0.8
0.40 0.34 vA    s 270:390 0.55 0.06 0.06 0 0 0 0 1.1
0.40 0.34 noise s 1500    0.14 0.06 0.06 0 0 0 0 0.8
0.80 0.45 noise d 3500    1.3  0.004 0.03 0 0 0 0 0.9
0.80 0.12 noise d 900     0.6  0.003 0.02 0 0 0 0 0.7
0.82 0.30 vU    d 420:300 0.5  0.01 0.05 0 0 0 0 1.1
EOF
finish WAVE7 WAVE7 highpass 100

# WAVE8 "Sorry"
say WAVE8 en-us 130 42 '<prosody range="low">Sorry.</prosody>'

# WAVE9 "Welcome"
say WAVE9 en-us+f3 150 55 "Welcome!"

# WAVE10 "Yeehaa"
say WAVE10 en-us 130 70 '<prosody range="x-high">Yee-haw!</prosody>'

# WAVE11 "Yippee"
say WAVE11 en-us+f3 140 80 '<prosody range="x-high">Yippee!</prosody>'

# WAVE12 "Oh No"
say WAVE12 en-us 105 35 '<prosody range="high">Oh no!</prosody>'

# WAVE13 "Applause": a room full of hands.
claps 110 1.65 1.0 31 | render WAVE13 31
FADE_IN=0.08 FADE_OUT=0.4 finish WAVE13 WAVE13 highpass 400 pad 0 0.1 reverb 40 50 60 \
    compand 0.002,0.06 -90,-90,-40,-24,-20,-10,0,-6 0 -90 0.002

# WAVE14 "Honk": two blasts of a car horn.
render WAVE14 32 <<'EOF'
0.00 0.28 square s 415 0.5 0.01 0.03
0.00 0.28 square s 523 0.4 0.01 0.03
0.36 0.42 square s 415 0.5 0.01 0.05
0.36 0.42 square s 523 0.4 0.01 0.05
EOF
finish WAVE14 WAVE14 overdrive 8 gain -6 highpass 250 lowpass 3500

# WAVE15 "Oooh": a crowd going ooooh.
render WAVE15 33 <<'EOF'
0.00 1.20 vU s 120:150:112 0.7 0.15 0.35 5.0 0.012 0 0 1.0
0.04 1.15 vO s 136:166:126 0.6 0.15 0.35 5.5 0.012 0 0 1.0
0.02 1.18 vU s 220:272:205 0.6 0.15 0.35 5.2 0.012 0 0 1.17
0.07 1.10 vO s 246:298:228 0.5 0.15 0.35 4.8 0.012 0 0 1.17
0.05 1.12 vU s 300:360:280 0.4 0.15 0.35 5.8 0.012 0 0 1.25
EOF
finish WAVE15 WAVE15 pad 0 0.1 reverb 30 50 50

# WAVE16 "Razzberry": a wet, fluttering blow through the lips.
render WAVE16 34 <<'EOF'
0.00 0.05 noise d 1500       0.5  0.002 0.01 0 0 0 0 0.8
0.02 0.85 pulse s 78:92:70:56 0.9 0.03 0.12 11 0.10 18 0.5
0.02 0.85 noise s 700         0.5 0.03 0.12 0 0 78 0.9 0.6
EOF
finish WAVE16 WAVE16 overdrive 6 lowpass 2500 highpass 60

# WAVE17 "Cheer": a crowd shouting yaaay, a whistle, some clapping.
{
    cat <<'EOF'
0.05 1.30 vE    s 140:190:170 0.5  0.10 0.40 5.5 0.02 0 0 1.0
0.15 1.20 vA    s 160:210:185 0.45 0.10 0.40 6.0 0.02 0 0 1.0
0.00 1.40 vE    s 300:420:380 0.4  0.10 0.40 5.0 0.02 0 0 1.17
0.20 1.10 vU    s 330:480:400 0.35 0.08 0.40 6.5 0.02 0 0 1.17
0.10 1.20 vA    s 380:520:450 0.3  0.10 0.40 5.8 0.02 0 0 1.3
0.00 1.65 noise s 1200        0.15 0.20 0.60 0 0 0 0 0.5
0.50 0.50 sine  s 2200:2900:2500 0.12 0.02 0.10
EOF
    claps 30 1.5 0.35 35
} | render WAVE17 35
FADE_IN=0.05 FADE_OUT=0.35 finish WAVE17 WAVE17 highpass 90 lowpass 6000 pad 0 0.1 reverb 40 50 60

# laugh START GAP F0 COUNT FALL VOWELS SCALE LEVEL: a run of "ha"s, each a
# breath and a short voiced vowel, the pitch falling by FALL per step.
laugh() {
    awk -v t0="$1" -v gap="$2" -v f0="$3" -v count="$4" -v fall="$5" \
        -v vowels="$6" -v scale="$7" -v level="$8" 'BEGIN {
        nv = split(vowels, V, "")
        f = f0; a = level
        for (i = 0; i < count; i++) {
            t = t0 + i * gap
            v = V[i < nv ? i + 1 : nv]
            printf "%.3f 0.05 noise s 1600 %.3f 0.01 0.02 0 0 0 0 0.7\n", t, a * 0.25
            printf "%.3f %.3f v%s s %.1f:%.1f %.3f 0.012 0.05 0 0 0 0 %.2f\n",
                t + 0.03, gap * 0.7, v, f, f * 0.92, a, scale
            printf "%.3f %.3f noise s 1400 %.3f 0.02 0.04 0 0 0 0 0.8\n",
                t + 0.03, gap * 0.7, a * 0.08
            f *= fall; a *= 0.93
        }
    }'
}

# WAVE18 "Woman Laughing"
{
    laugh 0 0.15 430 7 0.965 A 1.17 1.0
    echo "1.05 0.26 vA s 330:260 0.6 0.02 0.15 0 0 0 0 1.17"
    echo "1.05 0.26 noise s 1500 0.06 0.02 0.15 0 0 0 0 0.8"
} | render WAVE18 41
finish WAVE18 WAVE18 highpass 120

# WAVE19 "Man Laughing"
laugh 0 0.21 150 6 0.96 OOAAAA 1.0 1.0 | render WAVE19 42
finish WAVE19 WAVE19 highpass 70

# WAVE20 "Crying": a gasp, then a wobbling wail and two sobs.
render WAVE20 43 <<'EOF'
0.00 0.18 noise s 1800:2400     0.08 0.12 0.04 0 0 0 0 1.0
0.22 0.14 vU    s 400:440       0.5  0.03 0.08 0 0 0 0 1.3
0.26 1.25 vA    s 430:570:520:460:380 0.9 0.08 0.25 6 0.045 5 0.35 1.3
0.26 1.25 noise s 1700          0.05 0.08 0.25 0 0 5 0.35 0.8
1.56 0.12 vA    s 460:400       0.45 0.02 0.06 0 0 0 0 1.3
1.72 0.14 vA    s 440:370       0.40 0.02 0.08 0 0 0 0 1.3
EOF
finish WAVE20 WAVE20 highpass 150

echo "make_sounds: wrote $(find "$OUT" -maxdepth 1 -name '*.wav' | wc -l) clips to $OUT"
