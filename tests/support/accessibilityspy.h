#pragma once

#include <QAccessible>
#include <QList>
#include <QObject>
#include <QString>
#include <QtGui/private/qguiapplication_p.h>
#include <qpa/qplatformaccessibility.h>
#include <qpa/qplatformintegration.h>

// Qt hands an accessibility event to an update handler only while assistive
// technology listens, and under the offscreen platform nothing ever starts
// listening: as Qt's own tests do, the spy switches the platform's
// accessibility on through Qt's private interface.
// The accessibility events sent while it lives, as a screen reader would get
// them: what each says at the moment it is sent.
class AccessibilitySpy
{
public:
    struct Event
    {
        QAccessible::Event type;
        const QObject *object;
        int child;
        QAccessible::Role role;
        QString name;
        bool selected;
    };

    AccessibilitySpy()
    {
        s_current = this;
        QAccessible::installUpdateHandler(&AccessibilitySpy::record);
        QGuiApplicationPrivate::platform_integration->accessibility()->setActive(true);
        if (!QAccessible::isActive())
            qFatal("The platform's accessibility did not switch on");
    }
    ~AccessibilitySpy()
    {
        QGuiApplicationPrivate::platform_integration->accessibility()->setActive(false);
        QAccessible::installUpdateHandler(nullptr);
        s_current = nullptr;
    }
    AccessibilitySpy(const AccessibilitySpy &) = delete;
    AccessibilitySpy &operator=(const AccessibilitySpy &) = delete;

    // The events of one type, in the order they were sent.
    QList<Event> of(QAccessible::Event type) const
    {
        QList<Event> found;
        for (const Event &event : m_events) {
            if (event.type == type)
                found.append(event);
        }
        return found;
    }

private:
    static void record(QAccessibleEvent *event)
    {
        QAccessibleInterface *seen = event->accessibleInterface();
        s_current->m_events.append({event->type(), event->object(), event->child(),
                                    seen ? seen->role() : QAccessible::NoRole,
                                    seen ? seen->text(QAccessible::Name) : QString(), seen && seen->state().selected});
    }

    static inline AccessibilitySpy *s_current = nullptr;
    QList<Event> m_events;
};
