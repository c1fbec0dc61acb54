#include "ViewLogic/Rituals/GateController.h"

#include "Engine/DayPlanStore.h"
#include "Engine/LockdownEnforcer.h"
#include "Platform/Clock.h"
#include "Platform/Log.h"
#include "Platform/MainQueue.h"
#include "Platform/MainThread.h"
#include "Platform/Scheduler.h"
#include "Platform/SystemEvents.h"
#include "core/Calendar.h"
#include "core/MorningGate.h"

namespace kestrove {

namespace {

const Log kLog("gate");

} // namespace

// ---- The hatch ----

WallHatch::WallHatch(Scheduler& scheduler, MainQueue& mainQueue)
    : m_scheduler(scheduler), m_mainQueue(mainQueue)
{}

WallHatch::~WallHatch() = default;

void WallHatch::handleFlags(bool shift, bool alt, bool ctrl)
{
    if (!(shift && alt && ctrl)) {
        m_timer.reset();
        return;
    }
    if (m_timer) {
        return; // further changes with the three still held neither restart nor extend it
    }
    m_timer = m_scheduler.once(MorningGate::kHatchHoldSeconds, m_guard.wrap<>([this] {
        // After the key event that is being handled, as every wall action.
        m_mainQueue.post(m_guard.wrap<>([this] {
            m_timer.reset();
            if (isUp && isUp()) {
                kLog.info("hatch held to term — releasing the wall");
                if (onHatch) {
                    onHatch();
                }
            }
        }));
    }));
}

void WallHatch::reset()
{
    m_timer.reset();
}

// ---- The gate ----

GateController::GateController(Services services)
    : m_services(services), m_currentDay(Calendar::startOfDay(services.clock.now()))
{}

GateController::~GateController()
{
    if (m_systemObserver) {
        m_services.systemEvents.removeObserver(m_systemObserver);
    }
}

void GateController::start(DayPlanStore& store)
{
    assertMainThread();
    m_store = &store;
    m_services.wall.setOnHatch(m_guard.wrap<>([this] {
        m_services.mainQueue.post(m_guard.wrap<>([this] {
            if (!m_store) {
                return;
            }
            m_store->markSkipped();
            release();
        }));
    }));
    const auto later = [this] {
        m_services.mainQueue.post(m_guard.wrap<>([this] { evaluate(); }));
    };
    SystemEvents::Handlers handlers;
    handlers.didWake = later;
    handlers.sessionActiveChanged = [later](bool active) {
        if (active) {
            later();
        }
    };
    handlers.screenUnlocked = later;
    m_systemObserver = m_services.systemEvents.addObserver(std::move(handlers));
    m_timer = m_services.scheduler.repeating(kEvaluationInterval, m_guard.wrap<>(later));
    evaluate();
}

void GateController::evaluate()
{
    assertMainThread();
    if (!m_store) {
        return;
    }
    const Date today = Calendar::startOfDay(m_services.clock.now());
    if (today != m_currentDay) {
        // The first look on a new day only reads the new day's plan; the next applies the rule.
        m_currentDay = today;
        m_store->reload();
        return;
    }
    if (m_store->shouldArmNow()) {
        if (m_services.focusTaskActive && m_services.focusTaskActive()) {
            kLog.info("gate deferred: lock-in running");
            return;
        }
        if (!m_isUp) {
            arm(false);
        }
        return;
    }
    if (m_isUp && !m_isPreviewing) {
        release();
    }
}

void GateController::arm(bool preview)
{
    assertMainThread();
    if (!m_store) {
        return;
    }
    m_isUp = true;
    m_isPreviewing = preview;
    kLog.info(std::string("arming the morning gate preview=") + (preview ? "true" : "false"));
    m_services.wall.present([this, preview] { return wallForm(preview); });
    m_services.lockdown.engage({}, LockdownMode::morningGate());
}

GateForm GateController::wallForm(bool preview)
{
    GateForm form;
    form.initialPlan = m_store->draft();
    form.isWall = true;
    form.onSubmit =
        m_guard.wrap<const DayPlan&>([this](const DayPlan& plan) { submitFromWall(plan); });
    if (preview) {
        form.onClose = m_guard.wrap<>([this] {
            m_services.mainQueue.post(m_guard.wrap<>([this] {
                if (m_isPreviewing) {
                    release();
                }
            }));
        });
    }
    return form;
}

void GateController::submitFromWall(const DayPlan& plan)
{
    if (m_submitting) {
        return;
    }
    m_submitting = true;
    m_services.mainQueue.post(m_guard.wrap<>([this, plan] {
        m_submitting = false;
        if (!m_store) {
            return;
        }
        m_store->complete(plan);
        // An evaluation that ran meanwhile may have taken the wall down already.
        release();
        m_dayPlanChanged.notify();
    }));
}

void GateController::release()
{
    if (!m_isUp) {
        return;
    }
    m_isUp = false;
    m_isPreviewing = false;
    m_services.wall.dismiss();
    m_services.lockdown.disengage();
    kLog.info("gate released");
}

void GateController::openEditor()
{
    assertMainThread();
    if (!m_store) {
        return;
    }
    PlanEditorHost& editor = m_services.editor;
    if (editor.isOpen()) {
        editor.front();
        kLog.info("editor already open, refronted");
        return;
    }
    GateForm form;
    form.initialPlan = m_store->draft();
    form.isWall = false;
    form.onSubmit = m_guard.wrap<const DayPlan&>([this, store = m_store](const DayPlan& plan) {
        m_services.mainQueue.post(m_guard.wrap<>([this, store, plan] {
            store->complete(plan);
            if (m_services.editor.isOpen()) {
                m_services.editor.close();
            }
            m_dayPlanChanged.notify();
        }));
    });
    form.onClose = m_guard.wrap<>([this] {
        m_services.mainQueue.post(m_guard.wrap<>([this] {
            if (m_services.editor.isOpen()) {
                m_services.editor.close();
            }
        }));
    });
    editor.open(std::move(form), m_guard.wrap<>([this] { forgetEditor(); }));
    kLog.info("editor opened");
}

void GateController::forgetEditor()
{
    kLog.info("editor closed");
}

} // namespace kestrove
