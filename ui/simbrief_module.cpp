#include "ui/simbrief_module.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QStringList>
#include <QTimer>
#include <QXmlStreamReader>
#include <utility>

#include "flightplan/flight_plan.h"

namespace {

using brimwell::ui::SimbriefAnswer;

std::string toText(const QString& text) {
    return text.toStdString();
}

// SimBrief tells why it has no plan to give in the status of the fetch, <OFP><fetch><status>,
// of an otherwise empty flight plan ("Error: Unknown UserID").
QString fetchStatus(const QByteArray& body) {
    QXmlStreamReader xml(body);
    QStringList path;
    while (!xml.atEnd()) {
        const QXmlStreamReader::TokenType token = xml.readNext();
        if (token == QXmlStreamReader::StartElement) {
            path.append(xml.name().toString());
            if (path == QStringList{QStringLiteral("OFP"), QStringLiteral("fetch"),
                                    QStringLiteral("status")}) {
                return xml.readElementText(QXmlStreamReader::SkipChildElements).trimmed();
            }
        } else if (token == QXmlStreamReader::EndElement) {
            path.removeLast();
        }
    }
    return {};
}

QString seconds(std::chrono::milliseconds bound) {
    const double count = static_cast<double>(bound.count()) / 1000.0;
    return QString::number(count) + (bound == std::chrono::seconds(1) ? QStringLiteral(" second")
                                                                      : QStringLiteral(" seconds"));
}

class Fetch final : public QObject {
  public:
    Fetch(const QUrl& address, std::chrono::milliseconds bound, QObject& owner,
          brimwell::ui::SimbriefDone done)
        : QObject(&owner), m_done(std::move(done)) {
        // The manager is a child, so that its connections to this object are gone before it,
        // and the reply with it, are deleted.
        auto* network = new QNetworkAccessManager(this);
        QNetworkRequest request(address);
        request.setHeader(QNetworkRequest::UserAgentHeader, QStringLiteral("Brimwell/2.0"));
        m_reply = network->get(request);
        connect(m_reply, &QNetworkReply::readyRead, this, &Fetch::take);
        connect(m_reply, &QNetworkReply::finished, this, &Fetch::finish);
        m_deadline.setSingleShot(true);
        m_deadline.setTimerType(Qt::PreciseTimer);
        connect(&m_deadline, &QTimer::timeout, this, [this, bound] {
            end({false, "SimBrief did not answer within " + toText(seconds(bound))});
        });
        m_deadline.start(bound);
    }

    ~Fetch() override {
        if (m_reply != nullptr) {
            m_reply->disconnect(this);
            m_reply->abort();
        }
    }

    Q_DISABLE_COPY_MOVE(Fetch)

  private:
    void take() {
        m_body += m_reply->readAll();
        if (m_body.size() > static_cast<qsizetype>(brimwell::flightplan::kLargestFlightPlan)) {
            end({false, "SimBrief's answer is larger than any flight plan"});
        }
    }

    void finish() {
        take();
        if (m_ended) {
            return;
        }
        const QVariant status = m_reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
        if (!status.isValid()) {
            end({false, "SimBrief could not be reached: " + toText(m_reply->errorString())});
            return;
        }
        const int code = status.toInt();
        if (code >= 200 && code < 300) {
            if (m_reply->error() == QNetworkReply::NoError) {
                end({true, m_body.toStdString()});
            } else {
                end({false, "SimBrief's answer broke off: " + toText(m_reply->errorString())});
            }
            return;
        }
        const QString said = fetchStatus(m_body);
        if (!said.isEmpty()) {
            end({false, "SimBrief answered \"" + toText(said) + '"'});
            return;
        }
        const QString reason =
            m_reply->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toString();
        end({false, "SimBrief answered with HTTP status " + std::to_string(code) +
                        (reason.isEmpty() ? std::string() : " (" + toText(reason) + ')')});
    }

    // Reports the outcome once and lets the fetch go.
    void end(const SimbriefAnswer& answer) {
        if (m_ended) {
            return;
        }
        m_ended = true;
        m_deadline.stop();
        m_reply->abort();  // its finished signal finds the fetch ended
        deleteLater();
        const brimwell::ui::SimbriefDone done = std::move(m_done);
        done(answer);
    }

    brimwell::ui::SimbriefDone m_done;
    QNetworkReply* m_reply = nullptr;
    QTimer m_deadline;
    QByteArray m_body;
    bool m_ended = false;
};

}  // namespace

extern "C" __attribute__((visibility("default"))) QObject* brimwell_simbrief_fetch(
    const QUrl& address, std::chrono::milliseconds bound, QObject& owner,
    brimwell::ui::SimbriefDone done) {
    return new Fetch(address, bound, owner, std::move(done));
}
