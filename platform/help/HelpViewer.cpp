#include "platform/help/HelpViewer.h"

#include <QApplication>
#include <QScrollBar>
#include <QTextBlock>
#include <QToolBar>

namespace {
const QString kScheme = QStringLiteral("chm");
HelpViewer* theViewer = nullptr;
}

QUrl HelpBrowser::PageUrl(const QString& page, const QString& anchor) {
    QUrl url;
    url.setScheme(kScheme);
    url.setPath(QString::fromStdString(ChmArchive::Normalize(page.toStdString())));
    if (!anchor.isEmpty()) url.setFragment(anchor);
    return url;
}

void HelpBrowser::doSetSource(const QUrl& name, QTextDocument::ResourceType type) {
    page_ = name.isRelative() ? page_.resolved(name) : name;
    QTextBrowser::doSetSource(name, type);
}

QVariant HelpBrowser::loadResource(int type, const QUrl& name) {
    const QUrl url = name.isRelative() ? page_.resolved(name) : name;
    if (!archive_ || url.scheme() != kScheme) return {};
    std::optional<std::string> data = archive_->Read(url.path().toStdString());
    if (!data) return {};
    QByteArray bytes(data->data(), static_cast<qsizetype>(data->size()));
    if (type == QTextDocument::HtmlResource || type == QTextDocument::StyleSheetResource)
        return QString::fromUtf8(bytes);
    return bytes;
}

HelpViewer& HelpViewer::Instance() {
    if (!theViewer) {
        theViewer = new HelpViewer;
        // A parentless window must go before the application object does.
        QObject::connect(qApp, &QCoreApplication::aboutToQuit, [] { Destroy(); });
    }
    return *theViewer;
}

bool HelpViewer::Exists() { return theViewer != nullptr; }

void HelpViewer::Destroy() {
    delete theViewer;
    theViewer = nullptr;
}

HelpViewer::HelpViewer() {
    setObjectName(QStringLiteral("HelpViewer"));
    browser_ = new HelpBrowser(this);
    browser_->setObjectName(QStringLiteral("HelpBrowser"));
    browser_->setOpenLinks(false);   // FollowLink keeps links inside the help file
    setCentralWidget(browser_);

    QToolBar* bar = addToolBar(tr("Navigation"));
    bar->setMovable(false);
    QAction* back = bar->addAction(tr("Back"), browser_, &QTextBrowser::backward);
    back->setShortcut(QKeySequence::Back);
    back->setEnabled(false);
    QAction* forward = bar->addAction(tr("Forward"), browser_, &QTextBrowser::forward);
    forward->setShortcut(QKeySequence::Forward);
    forward->setEnabled(false);
    bar->addAction(tr("Contents"), this, [this] {
        if (archive_) browser_->setSource(HelpBrowser::PageUrl(
            QString::fromStdString(archive_->DefaultTopic())));
    });
    connect(browser_, &QTextBrowser::backwardAvailable, back, &QAction::setEnabled);
    connect(browser_, &QTextBrowser::forwardAvailable, forward, &QAction::setEnabled);
    connect(browser_, &QTextBrowser::anchorClicked, this, &HelpViewer::FollowLink);
    connect(browser_, &QTextBrowser::sourceChanged, this, [this](const QUrl& url) {
        anchor_ = url.fragment();
        const QString fileTitle = archive_ ? QString::fromStdString(archive_->Title()) : QString();
        const QString pageTitle = browser_->documentTitle();
        const bool both = !pageTitle.isEmpty() && !fileTitle.isEmpty() && pageTitle != fileTitle;
        setWindowTitle(both ? pageTitle + QStringLiteral(" - ") + fileTitle
                            : pageTitle.isEmpty() ? fileTitle : pageTitle);
    });
    resize(780, 560);
}

bool HelpViewer::OpenArchive(const QString& chmPath) {
    if (archive_ && archive_->Path() == chmPath.toStdString()) return true;
    auto archive = std::make_unique<ChmArchive>();
    if (!archive->Open(chmPath.toStdString())) return false;
    archive_ = std::move(archive);
    browser_->SetArchive(archive_.get());
    browser_->clearHistory();
    archiveChanged_ = true;
    return true;
}

bool HelpViewer::Show(const QString& chmPath, const QString& page, const QString& anchor) {
    show();
    raise();
    activateWindow();
    if (!OpenArchive(chmPath)) {
        ShowProblem(tr("The help file \"%1\" could not be opened.").arg(chmPath));
        return false;
    }
    const QString wanted = page.isEmpty() ? QString::fromStdString(archive_->DefaultTopic()) : page;
    if (!archive_->Contains(wanted.toStdString())) {
        ShowProblem(tr("The help file \"%1\" has no page \"%2\".").arg(chmPath, wanted));
        return false;
    }
    const QUrl url = HelpBrowser::PageUrl(wanted, anchor);
    const bool samePage = browser_->source().adjusted(QUrl::RemoveFragment) ==
                          url.adjusted(QUrl::RemoveFragment);
    // The browser loads a page only when its address changes; a new file or a problem text
    // shown in between must not leave the old content standing.
    if (archiveChanged_ && samePage) browser_->reload();
    archiveChanged_ = false;
    browser_->setSource(url);
    anchor_ = anchor;
    if (anchor.isEmpty())
        browser_->verticalScrollBar()->setValue(0);
    else
        browser_->scrollToAnchor(anchor);
    return true;
}

void HelpViewer::ShowProblem(const QString& text) {
    browser_->setHtml(QStringLiteral("<p>%1</p>").arg(text.toHtmlEscaped()));
    anchor_.clear();
    archiveChanged_ = true;
}

void HelpViewer::FollowLink(const QUrl& link) {
    // Only pages of the help file are followed; the help has no business starting a browser.
    const QUrl url = link.isRelative() ? browser_->source().resolved(link) : link;
    if (url.scheme() == kScheme) browser_->setSource(url);
}

QString HelpViewer::CurrentPage() const { return browser_->source().path(); }

bool HelpViewer::PageHasAnchor(const QString& anchor) const {
    for (QTextBlock block = browser_->document()->begin(); block.isValid(); block = block.next())
        for (auto it = block.begin(); !it.atEnd(); ++it)
            if (it.fragment().charFormat().anchorNames().contains(anchor)) return true;
    return false;
}
