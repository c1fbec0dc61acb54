#pragma once

#include <functional>
#include <vector>

#include "Engine/NotificationPresenter.h"

namespace kestrove {

// Records what would be shown; answer() plays the user's click on a posted notification.
// Authorization is settled when the test says so (settleAuthorization), or at once when
// settlesAuthorizationAtOnce is true.
class FakeNotificationPresenter final : public NotificationPresenter
{
public:
    using NotificationPresenter::NotificationPresenter;

    bool installed = false;
    bool settlesAuthorizationAtOnce = true;
    int authorizationQuestions = 0;
    std::vector<NotificationRequest> posted;

    void install() override { installed = true; }

    void answer(const NotificationRequest& request, std::string_view action) const
    {
        route(request.identifier, request.categoryIdentifier, action);
    }
    void settleAuthorization()
    {
        auto done = std::move(m_pending);
        m_pending = {};
        if (done) {
            done();
        }
    }

protected:
    void post(const NotificationRequest& request) override { posted.push_back(request); }
    void requestAuthorization(std::function<void()> done) override
    {
        ++authorizationQuestions;
        if (settlesAuthorizationAtOnce) {
            done();
            return;
        }
        m_pending = std::move(done);
    }

private:
    std::function<void()> m_pending;
};

} // namespace kestrove
