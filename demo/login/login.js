// The demo login: no real account check. It makes up a token and a signature, and hands the
// result to the launcher. Written for the oldest script engine the WebBrowser control may run the
// page in (no JSON object, no let, no arrow functions).
var demoLogin = (function () {
    function quote(s) {
        var out = '"', i, c, code;
        s = String(s);
        for (i = 0; i < s.length; i++) {
            c = s.charAt(i);
            code = s.charCodeAt(i);
            if (c === '"' || c === '\\') {
                out += '\\' + c;
            } else if (code < 0x20) {
                out += '\\u' + ('000' + code.toString(16)).slice(-4);
            } else {
                out += c;
            }
        }
        return out + '"';
    }

    // The AppLogin payload: one JSON object of five string members.
    function payload(fields) {
        var names = ['uid', 'token', 'server_id', 'other', 'sign'], parts = [], i;
        for (i = 0; i < names.length; i++) {
            parts.push(quote(names[i]) + ':' + quote(fields[names[i]]));
        }
        return '{' + parts.join(',') + '}';
    }

    function randomHex(n) {
        var s = '';
        while (s.length < n) {
            s += Math.floor(Math.random() * 16).toString(16);
        }
        return s;
    }

    // A stand-in signature over the other fields (the real channel signs on its server).
    function sign(text) {
        var h = 5381, i;
        for (i = 0; i < text.length; i++) {
            h = ((h * 33) ^ text.charCodeAt(i)) >>> 0;
        }
        return ('0000000' + h.toString(16)).slice(-8);
    }

    function status(text) {
        document.getElementById('status').innerHTML = text;
    }

    function submit() {
        var uid = document.getElementById('uid').value;
        var server = document.getElementById('server_id');
        var fields = {
            uid: uid,
            token: randomHex(32),
            server_id: server.options[server.selectedIndex].value,
            other: 'demo'
        };
        fields.sign = sign(fields.uid + '&' + fields.token + '&' + fields.server_id + '&' + fields.other);
        try {
            window.external.AppLogin(payload(fields));
            status('正在启动游戏…');
        } catch (e) {
            // An ordinary browser has no launcher behind window.external.
            status('请在登录器中打开本页。');
        }
        return false;
    }

    // The second route: the page navigates to the callback address with a one-time code.
    var link = document.getElementById('callback');
    link.href = location.protocol + '//' + location.host + '/pavix/codeCallback.htm?code=' + randomHex(16);

    return { submit: submit, payload: payload };
}());
