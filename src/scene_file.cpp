#include <deque>
#include <iostream>
#include <string>

#include "main.h"
#include "parser.h"

void parse_file(std::vector<GeomObject*>& objects, std::vector<Light*>& lights, Camera* camera) {
    std::deque<std::string> tokens;
    tokenize_file(gInputFileName, tokens);
    parse_statements(tokens, objects, lights, camera);
}

void parse_statements(std::deque<std::string>& tokens, std::vector<GeomObject*>& objects,
                      std::vector<Light*>& lights, Camera* camera) {
    while (!tokens.empty()) {
        const std::string& token = tokens.front();
        if (token == "camera") {
            std::cout << "parsing camera\n";
            *camera = Camera::parse(tokens, gPixelWidth, gPixelHeight);
        } else if (token == "sphere") {
            std::cout << "parsing sphere\n";
            objects.push_back(new Sphere(tokens));
        } else if (token == "plane") {
            std::cout << "parsing plane\n";
            objects.push_back(new Plane(tokens));
        } else if (token == "light_source") {
            std::cout << "parsing light source\n";
            lights.push_back(new Light(tokens));
        } else if (token == "triangle") {
            std::cout << "parsing triangle\n";
            objects.push_back(new Triangle(tokens));
        } else if (token == "box") {
            std::cout << "parsing box\n";
            objects.push_back(Box::parse(tokens));
        } else {
            // Unsupported text is skipped one token at a time.
            std::cout << token << "\n";
            tokens.pop_front();
        }
    }
}
