// Cutting arrived bytes into queued messages.
#include "protocol/cp1252.h"
#include "protocol/framing.h"
#include "protocol/receivequeue.h"

#include <QtTest>

class BenchFraming : public QObject
{
    Q_OBJECT
private slots:
    // 10,000 messages of 100 bytes arriving in reads of at most 32768 bytes, framed and queued.
    void frameTenThousandMessages()
    {
        QByteArray stream;
        for (int i = 0; i < 10000; ++i) {
            QByteArray m = "CMD_draw+3+clBlack+3++" + QByteArray::number(i);
            m += QByteArray(100 - m.size(), '7');
            stream += m + '\xFF';
        }
        QBENCHMARK
        {
            framing::FrameBuffer buf;
            ReceiveQueue queue;
            QByteArrayList out;
            for (qsizetype at = 0; at < stream.size(); at += 32768) {
                out.clear();
                buf.feed(stream.constData() + at, qMin<qsizetype>(32768, stream.size() - at), out);
                for (const QByteArray &m : out)
                    queue.push({cp1252::decode(m), 3, 1});
            }
            if (queue.size() != 10000)
                qFatal("lost messages");
        }
    }
};

QTEST_APPLESS_MAIN(BenchFraming)
#include "bench_framing.moc"
