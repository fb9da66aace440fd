#include "IntakeOcr.h"

#include "InterfaceScript.h"
#include "KException.h"

#include <map>
#include <QCoreApplication>
#include <QMutex>
#include <QStringList>
#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include <omp.h>
#include <tesseract/baseapi.h>
#include <tesseract/ocrclass.h>

namespace {

using TEngine = std::unique_ptr<tesseract::TessBaseAPI>;

void endEngines();

// Idle engines per language set.
class TEngineShelf
{
public:
    TEngine Take(const QString &languages)
    {
        {
            QMutexLocker lock(&m_mutex);
            std::vector<TEngine> &idle = m_idle[languages];
            if (!idle.empty()) {
                TEngine engine = std::move(idle.back());
                idle.pop_back();
                return engine;
            }
        }
        static const bool registered = (qAddPostRoutine(&endEngines), true);
        Q_UNUSED(registered);
        auto engine = std::make_unique<tesseract::TessBaseAPI>();
        // nullptr: the data where Debian's packages put them (or TESSDATA_PREFIX).
        // Tesseract goes on without a language it lacks, unless it lacks them all.
        const int failed = engine->Init(nullptr, languages.toUtf8().constData(), tesseract::OEM_LSTM_ONLY);
        std::vector<std::string> loaded;
        engine->GetLoadedLanguagesAsVector(&loaded);
        QStringList missing;
        for (const QString &language : languages.split(u'+', Qt::SkipEmptyParts))
            if (failed || std::find(loaded.begin(), loaded.end(), language.toStdString()) == loaded.end())
                missing << language;
        if (failed && missing.isEmpty())
            missing << languages;
        if (!missing.isEmpty())
            throw KException(UiText(u"Prepoznavanje teksta nije moguće: nisu instalirani podaci za jezike „%1“ "
                                            u"(paketi tesseract-ocr-…).")
                                 .arg(missing.join(u'+')));
        return engine;
    }
    void Return(const QString &languages, TEngine engine)
    {
        engine->Clear();
        QMutexLocker lock(&m_mutex);
        m_idle[languages].push_back(std::move(engine));
    }

    void Clear()
    {
        QMutexLocker lock(&m_mutex);
        m_idle.clear();
    }

private:
    QMutex m_mutex;
    std::map<QString, std::vector<TEngine>> m_idle;
};

TEngineShelf &shelf()
{
    static TEngineShelf engines;
    return engines;
}

// Tesseract's own caches are gone by the time statics are destroyed: the
// engines are ended with the application.
void endEngines()
{
    shelf().Clear();
}

bool askStopped(void *stopped, int /*words*/)
{
    return (*static_cast<const std::function<bool()> *>(stopped))();
}

} // namespace

TOcrText RecognizePage(const QImage &picture, int dpi, const QString &languages, const std::function<bool()> &stopped)
{
    const QImage gray = picture.convertToFormat(QImage::Format_Grayscale8);
    // Pages are read side by side on our own threads already: Tesseract's
    // OpenMP teams on top of them only spin for cores (several times slower
    // on a busy desk), so its parallel parts run on this one thread.
    omp_set_max_active_levels(0);
    TEngine engine = shelf().Take(languages);
    engine->SetPageSegMode(tesseract::PSM_AUTO);
    engine->SetImage(gray.constBits(), gray.width(), gray.height(), 1, int(gray.bytesPerLine()));
    engine->SetSourceResolution(dpi);
    tesseract::ETEXT_DESC monitor;
    monitor.cancel = &askStopped;
    monitor.cancel_this = const_cast<std::function<bool()> *>(&stopped);
    TOcrText result;
    if (engine->Recognize(&monitor) == 0 && !stopped()) {
        const std::unique_ptr<char[]> text(engine->GetUTF8Text());
        result.Text = QString::fromUtf8(text.get()).trimmed();
        result.Confidence = result.Text.isEmpty() ? 0.0 : engine->MeanTextConf() / 100.0;
    }
    shelf().Return(languages, std::move(engine));
    return result;
}
